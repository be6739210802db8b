// BrowserPane: shows a document file (a licence, a readme) in one of three formats: plain text,
// rich text or HTML. Navigate reads the whole file through sys::CurrentPlatform(); a missing,
// unreadable or oversized file leaves the pane empty, never an error.
//
// Plain text is GBK whatever the system's code page, so it reads right on any Windows locale.
// The format comes from the content ("{\rtf" starts rich text) and then from the name (.htm,
// .html: HTML); everything else is plain text. Text() is what a person reads: the plain text
// itself, or the text of a rich-text or HTML document without its markup (what the headless
// rendering shows, and what a view without an HTML engine falls back to).
//
// PageDown() is the PgDn key: the headless model of the scroll position (TopLine) moves one
// page of 12-pixel lines on. A win32 view scrolls itself when it has the focus.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/Form.h"

namespace ui {

enum class DocumentFormat { None, PlainText, RichText, Html };

class BrowserPane : public Control {
 public:
  static constexpr ControlKind kKind = ControlKind::BrowserPane;
  // Larger documents are refused rather than read into memory.
  static constexpr int64_t kMaxBytes = 16 * 1024 * 1024;
  static constexpr int kLineHeight = 12;

  BrowserPane(Form& owner, const std::string& name);

  // A path (GBK) or a URL. Every call reloads.
  void Navigate(const std::string& location);
  const std::string& Location() const { return location_; }
  DocumentFormat Format() const { return format_; }
  // The file's bytes as read (GBK for plain text); empty when nothing could be read.
  const std::string& Content() const { return content_; }
  const std::string& Text() const { return text_; }
  // True when Text() and Lines() are UTF-8 rather than GBK: the file starts with the UTF-8 byte
  // order mark, or is an HTML document that names UTF-8 as its character set. The peers decode
  // such text as UTF-8; all other text is GBK.
  bool Utf8() const { return utf8_; }
  const std::vector<std::string>& Lines() const { return lines_; }
  // How many times Navigate ran.
  int Navigations() const { return navigations_; }

  int TopLine() const { return topLine_; }
  void PageDown();

 private:
  std::string location_;
  DocumentFormat format_ = DocumentFormat::None;
  std::string content_;
  std::string text_;
  bool utf8_ = false;
  std::vector<std::string> lines_;
  int navigations_ = 0;
  int topLine_ = 0;
};

// The readable text of a document: rich-text control words and groups of destinations
// ({\fonttbl ...}, {\*\...}) dropped, \'xx bytes kept (the document's ANSI bytes), \par a line
// break; HTML tags dropped, <br>, </p>, </div>, </li> and </tr> line breaks, the few common
// entities decoded, <script> and <style> contents dropped.
std::string RichTextToText(const std::string& rtf);
std::string HtmlToText(const std::string& html);
DocumentFormat SniffDocument(const std::string& location, const std::string& content);
// Whether an HTML document's head names UTF-8 as its character set.
bool HtmlDeclaresUtf8(const std::string& html);

}  // namespace ui
