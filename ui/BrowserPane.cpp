#include "ui/BrowserPane.h"

#include <algorithm>
#include <exception>

#include "system/Gbk.h"
#include "system/Platform.h"
#include "system/Stream.h"
#include "ui/TextLines.h"

namespace ui {

namespace {

// The whole file, or nothing: a document that cannot be read shows as an empty pane.
std::string ReadDocument(const std::string& path) {
  try {
    sys::Platform& platform = sys::CurrentPlatform();
    if (!platform.FileExists(path)) return {};
    auto stream = platform.OpenForRead(path);
    int64_t size = stream->Size();
    if (size <= 0 || size > BrowserPane::kMaxBytes) return {};
    std::string bytes(static_cast<size_t>(size), '\0');
    stream->ReadExact(bytes.data(), bytes.size());
    return bytes;
  } catch (const std::exception&) {
    return {};
  }
}

}  // namespace

BrowserPane::BrowserPane(Form& owner, const std::string& name) : Control(&owner, name, kKind) {
  SetColor(kClWhite);
  SetBounds(0, 0, 300, 150);
}

void BrowserPane::Navigate(const std::string& location) {
  ++navigations_;
  location_ = location;
  content_ = ReadDocument(location);
  format_ = SniffDocument(location, content_);
  const bool bom = content_.compare(0, 3, "\xEF\xBB\xBF") == 0;
  const std::string body = bom ? content_.substr(3) : content_;
  utf8_ = bom || (format_ == DocumentFormat::Html && HtmlDeclaresUtf8(body));
  switch (format_) {
    case DocumentFormat::RichText:
      text_ = RichTextToText(body);
      break;
    case DocumentFormat::Html:
      text_ = HtmlToText(body);
      break;
    default:
      text_ = body;
      break;
  }
  lines_ = text_.empty() ? std::vector<std::string>{} : SplitLines(text_);
  topLine_ = 0;
  Notify(Change::Text);
}

void BrowserPane::PageDown() {
  int page = std::max(1, Height() / kLineHeight);
  int last = std::max(0, static_cast<int>(lines_.size()) - page);
  topLine_ = std::min(topLine_ + page, last);
}

DocumentFormat SniffDocument(const std::string& location, const std::string& content) {
  if (content.compare(0, 5, "{\\rtf") == 0) return DocumentFormat::RichText;
  std::string lower = sys::AsciiLower(location);
  auto endsWith = [&lower](const std::string& suffix) {
    return lower.size() >= suffix.size() &&
           lower.compare(lower.size() - suffix.size(), suffix.size(), suffix) == 0;
  };
  if (endsWith(".htm") || endsWith(".html") || lower.rfind("http://", 0) == 0 ||
      lower.rfind("https://", 0) == 0) {
    return DocumentFormat::Html;
  }
  if (content.empty()) return DocumentFormat::None;
  return DocumentFormat::PlainText;
}

bool HtmlDeclaresUtf8(const std::string& html) {
  // The declaration sits in the head; a look at the first few kilobytes is enough.
  std::string head = sys::AsciiLower(html.substr(0, 4096));
  for (size_t at = head.find("charset"); at != std::string::npos;
       at = head.find("charset", at + 7)) {
    size_t value = at + 7;
    while (value < head.size() && (head[value] == ' ' || head[value] == '=' || head[value] == '"' ||
                                   head[value] == '\'')) {
      ++value;
    }
    if (head.compare(value, 5, "utf-8") == 0 || head.compare(value, 4, "utf8") == 0) return true;
  }
  return false;
}

}  // namespace ui
