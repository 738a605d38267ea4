#include "results/node_keys.h"

#include "app/text.h"

namespace quexa {
namespace {

NodeSpec topLevelNode(std::string key, std::string_view text) {
  return NodeSpec{std::nullopt, std::move(key), std::string(text), std::string(kImageClosed),
                  std::string(kImageOpen)};
}

}  // namespace

std::string indexNodeKey(std::string_view indexName) {
  return std::string(indexName) + "\\";
}

NodeSpec indexNode(std::string_view indexName) {
  return topLevelNode(indexNodeKey(indexName), indexName);
}

NodeSpec siteNode(std::string_view indexName, std::string_view siteUrl) {
  return NodeSpec{indexNodeKey(indexName), std::string(siteUrl), std::string(siteUrl),
                  std::string(kImageClosed), std::nullopt};
}

std::string pageNodeKey(int64_t n, std::string_view pageUrl) {
  return "Yahoo" + str(n) + std::string(pageUrl);
}

NodeSpec pageNode(std::string_view parentKey, int64_t n, std::string_view pageUrl,
                  std::string_view pageText, bool serverError) {
  std::string text(pageText);
  if (serverError) text += kServerErrorSuffix;
  return NodeSpec{std::string(parentKey), pageNodeKey(n, pageUrl), std::move(text),
                  std::string(kImageLeaf), std::nullopt};
}

std::string linkedPageUrl(std::string_view pageUrl, std::string_view siteUrl) {
  std::string url(pageUrl);
  if (trim(pageUrl).size() == trim(siteUrl).size()) url += '/';
  return url;
}

std::string linkedPageText(std::string_view pageUrl, std::string_view siteUrl) {
  size_t at = pageUrl.find(siteUrl);
  return std::string(at == std::string_view::npos ? pageUrl : pageUrl.substr(at));
}

std::string engineNodeKey(const EngineNodeNames& engine) {
  return std::string(engine.nodeText) + "\\";
}

NodeSpec engineNode(const EngineNodeNames& engine) {
  return topLevelNode(engineNodeKey(engine), engine.nodeText);
}

std::string hitNodeKey(const EngineNodeNames& engine, int64_t n, std::string_view url) {
  return std::string(engine.hitKeyPrefix) + str(n) + std::string(url);
}

NodeSpec hitNode(const EngineNodeNames& engine, int64_t n, std::string_view url,
                 std::string_view title) {
  return NodeSpec{engineNodeKey(engine), hitNodeKey(engine, n, url),
                  str(n) + ". " + std::string(title), std::string(kImageLeaf), std::nullopt};
}

std::string urlFromNodeKey(std::string_view key, bool keepCase) {
  std::string lower = lowerSameLength(key);
  size_t at = lower.find("http");
  if (keepCase) return std::string(at == std::string::npos ? key : key.substr(at));
  return at == std::string::npos ? lower : lower.substr(at);
}

}  // namespace quexa
