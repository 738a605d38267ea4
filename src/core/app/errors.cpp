#include "app/errors.h"

#include <cerrno>
#include <filesystem>
#include <new>
#include <system_error>

namespace quexa {

int errorNumber(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::OutOfMemory:
      return 7;
    case ErrorKind::OutOfStringSpace:
      return 14;
    case ErrorKind::OutOfStackSpace:
      return 28;
    case ErrorKind::FileNotFound:
      return 53;
    case ErrorKind::DeviceIO:
      return 57;
    case ErrorKind::DiskFull:
      return 61;
    case ErrorKind::PrinterError:
      return 68;
    case ErrorKind::DiskNotReady:
      return 71;
    case ErrorKind::PathNotFound:
      return 76;
    case ErrorKind::LibraryNotLoadable:
      return 298;
    case ErrorKind::PrinterDriver:
      return 482;
    case ErrorKind::ControlOutOfMemory:
      return 31001;
    case ErrorKind::LoadFromFile:
      return 31037;
    case ErrorKind::SaveToFile:
      return 31306;
    case ErrorKind::Timeout:
      return 35761;
    case ErrorKind::Other:
      return 5;
  }
  return 5;
}

QuexaError::QuexaError(ErrorKind kind, const std::string& what)
    : std::runtime_error(what), kind_(kind), number_(errorNumber(kind)) {}

QuexaError::QuexaError(ErrorKind kind, int number, const std::string& what)
    : std::runtime_error(what), kind_(kind), number_(number) {}

namespace {
ErrorKind kindOfErrno(int e) {
  switch (e) {
    case ENOMEM:
      return ErrorKind::OutOfMemory;
    case ENOENT:
      return ErrorKind::FileNotFound;
    case ENOTDIR:
      return ErrorKind::PathNotFound;
    case ENOSPC:
    case EDQUOT:
      return ErrorKind::DiskFull;
    case EIO:
      return ErrorKind::DeviceIO;
    case EROFS:
    case EACCES:
    case EPERM:
      return ErrorKind::DiskNotReady;
    default:
      return ErrorKind::Other;
  }
}
}  // namespace

ErrorKind classifyCurrentException() {
  try {
    throw;
  } catch (const QuexaError& e) {
    return e.kind();
  } catch (const std::bad_alloc&) {
    return ErrorKind::OutOfMemory;
  } catch (const std::filesystem::filesystem_error& e) {
    return kindOfErrno(e.code().value());
  } catch (const std::system_error& e) {
    return e.code().category() == std::generic_category() ||
                   e.code().category() == std::system_category()
               ? kindOfErrno(e.code().value())
               : ErrorKind::Other;
  } catch (...) {
    return ErrorKind::Other;
  }
}

}  // namespace quexa
