#include "support/http_test_server.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace quexa::test {

HttpTestServer::HttpTestServer() {
  // Keep-alive connections must not hold the server open long after a test.
  server_.set_keep_alive_timeout(1);
  server_.Get(".*",
              [this](const httplib::Request& req, httplib::Response& res) { dispatch(req, res); });
}

void HttpTestServer::start() {
  port_ = server_.bind_to_any_port("127.0.0.1");
  if (port_ <= 0) throw std::runtime_error("the test server found no free port on 127.0.0.1");
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void HttpTestServer::stop() {
  {
    std::lock_guard lock(stopMutex_);
    stopping_ = true;
  }
  stopSignal_.notify_all();
  if (thread_.joinable()) {
    server_.stop();
    thread_.join();
  }
}

std::vector<RecordedRequest> HttpTestServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

size_t HttpTestServer::requestCount() const {
  std::lock_guard lock(mutex_);
  return requests_.size();
}

size_t HttpTestServer::requestCount(const std::string& path) const {
  std::lock_guard lock(mutex_);
  return std::count_if(requests_.begin(), requests_.end(),
                       [&](const RecordedRequest& r) { return r.path == path; });
}

bool HttpTestServer::pause(std::chrono::milliseconds d) const {
  std::unique_lock lock(stopMutex_);
  return !stopSignal_.wait_for(lock, d, [this] { return stopping_; });
}

void HttpTestServer::dispatch(const httplib::Request& req, httplib::Response& res) {
  Handler handler;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back({req.path, req.target, req.headers, req.remote_port});
    auto it = handlers_.find(req.path);
    handler = it != handlers_.end() ? it->second : fallback_;
  }
  if (handler) {
    handler(req, res);
  } else {
    res.status = 404;
    res.set_content("<html><body>no handler</body></html>", "text/html");
  }
}

HttpTestServer::Handler HttpTestServer::redirect(std::string location, int status) {
  return [status, location = std::move(location)](const httplib::Request&, httplib::Response& res) {
    res.status = status;
    res.set_header("Location", location);
  };
}

HttpTestServer::Handler HttpTestServer::gzipped(std::string body) {
  // Sent as octet-stream so the server does not compress it a second time.
  return [packed = gzip(body)](const httplib::Request&, httplib::Response& res) {
    res.set_header("Content-Encoding", "gzip");
    res.set_content(packed, "application/octet-stream");
  };
}

HttpTestServer::Handler HttpTestServer::silence(std::chrono::milliseconds upTo) {
  return [this, upTo](const httplib::Request&, httplib::Response& res) {
    pause(upTo);
    res.set_content("", "text/html");
  };
}

HttpTestServer::Handler HttpTestServer::slowBody(int chunks, std::chrono::milliseconds gap,
                                                 std::string chunk) {
  return [this, chunks, gap, chunk = std::move(chunk)](const httplib::Request&,
                                                       httplib::Response& res) {
    res.set_chunked_content_provider("text/html",
                                     [this, chunks, gap, chunk](size_t, httplib::DataSink& sink) {
                                       for (int i = 0; i < chunks; ++i) {
                                         if (!pause(gap) || !sink.write(chunk.data(), chunk.size()))
                                           return false;
                                       }
                                       sink.done();
                                       return true;
                                     });
  };
}

HttpTestServer::Handler HttpTestServer::forwardProxy() {
  return [](const httplib::Request& req, httplib::Response& res) {
    const std::string prefix = "http://127.0.0.1:";
    if (req.target.rfind(prefix, 0) != 0) {
      res.status = 403;
      res.set_content("only 127.0.0.1 is forwarded", "text/plain");
      return;
    }
    const size_t slash = req.target.find('/', prefix.size());
    const std::string port = req.target.substr(
        prefix.size(), slash == std::string::npos ? std::string::npos : slash - prefix.size());
    const std::string path = slash == std::string::npos ? "/" : req.target.substr(slash);
    httplib::Client client("127.0.0.1", std::stoi(port));
    auto answer = client.Get(path.c_str());
    if (!answer) {
      res.status = 502;
      return;
    }
    res.status = answer->status;
    res.set_header("Via", "test-proxy");
    res.set_content(answer->body, answer->get_header_value("Content-Type").c_str());
  };
}

std::string gzip(const std::string& text) {
  z_stream z{};
  if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("zlib would not start");
  std::string out(deflateBound(&z, text.size()) + 32, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  const int rc = deflate(&z, Z_FINISH);
  deflateEnd(&z);
  if (rc != Z_STREAM_END) throw std::runtime_error("zlib could not compress");
  out.resize(z.total_out);
  return out;
}

}  // namespace quexa::test
