#include "support/xml_tree.h"

#include <cstdint>

namespace korvelo::testing {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  std::unique_ptr<XmlNode> Document() {
    SkipMisc();
    if (!Looking("<")) Fail("no root element");
    auto root = Element();
    SkipMisc();
    if (at_ != text_.size()) Fail("content after the root element");
    return root;
  }

 private:
  [[noreturn]] void Fail(const std::string& why) const {
    throw XmlError(why + " at byte " + std::to_string(at_));
  }
  bool Looking(std::string_view s) const { return text_.substr(at_, s.size()) == s; }
  void Expect(std::string_view s) {
    if (!Looking(s)) Fail("expected '" + std::string(s) + "'");
    at_ += s.size();
  }
  void SkipBlanks() {
    while (at_ < text_.size() && std::string_view(" \t\r\n").find(text_[at_]) != std::string_view::npos) ++at_;
  }
  void SkipUntilAfter(std::string_view end) {
    const size_t found = text_.find(end, at_);
    if (found == std::string_view::npos) Fail("unclosed " + std::string(end));
    at_ = found + end.size();
  }
  // Prolog, comments and blanks outside the root.
  void SkipMisc() {
    for (;;) {
      SkipBlanks();
      if (Looking("<?")) {
        SkipUntilAfter("?>");
      } else if (Looking("<!--")) {
        SkipUntilAfter("-->");
      } else {
        return;
      }
    }
  }
  std::string Name() {
    const size_t start = at_;
    while (at_ < text_.size() &&
           std::string_view(" \t\r\n/>=").find(text_[at_]) == std::string_view::npos) {
      ++at_;
    }
    if (at_ == start) Fail("missing name");
    return std::string(text_.substr(start, at_ - start));
  }
  static void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | code >> 6);
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | code >> 12);
      out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | code >> 18);
      out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
      out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  void Reference(std::string& out) {
    const size_t end = text_.find(';', at_);
    if (end == std::string_view::npos) Fail("unterminated reference");
    const std::string body(text_.substr(at_ + 1, end - at_ - 1));
    at_ = end + 1;
    if (body == "lt") out += '<';
    else if (body == "gt") out += '>';
    else if (body == "amp") out += '&';
    else if (body == "quot") out += '"';
    else if (body == "apos") out += '\'';
    else if (body.size() > 1 && body[0] == '#') {
      const bool hex = body[1] == 'x';
      const uint32_t code = static_cast<uint32_t>(
          std::stoul(body.substr(hex ? 2 : 1), nullptr, hex ? 16 : 10));
      AppendUtf8(out, code);
    } else {
      Fail("unknown entity &" + body + ";");
    }
  }
  std::string AttributeValue() {
    const char quote = at_ < text_.size() ? text_[at_] : 0;
    if (quote != '"' && quote != '\'') Fail("unquoted attribute");
    ++at_;
    std::string value;
    while (at_ < text_.size() && text_[at_] != quote) {
      if (text_[at_] == '<') Fail("'<' in attribute");
      if (text_[at_] == '&') {
        Reference(value);
      } else {
        value += text_[at_++];
      }
    }
    Expect(std::string(1, quote));
    return value;
  }
  std::unique_ptr<XmlNode> Element() {
    Expect("<");
    auto node = std::make_unique<XmlNode>();
    node->name = Name();
    for (;;) {
      SkipBlanks();
      if (Looking("/>")) {
        at_ += 2;
        return node;
      }
      if (Looking(">")) break;
      const std::string key = Name();
      SkipBlanks();
      Expect("=");
      SkipBlanks();
      node->attributes[key] = AttributeValue();
    }
    ++at_;
    Content(*node);
    Expect("</" + node->name);
    SkipBlanks();
    Expect(">");
    return node;
  }
  void Content(XmlNode& node) {
    while (at_ < text_.size()) {
      if (Looking("</")) return;
      if (Looking("<![CDATA[")) {
        at_ += 9;
        const size_t end = text_.find("]]>", at_);
        if (end == std::string_view::npos) Fail("unclosed CDATA");
        node.text.append(text_.substr(at_, end - at_));
        at_ = end + 3;
      } else if (Looking("<!--")) {
        SkipUntilAfter("-->");
      } else if (Looking("<")) {
        node.children.push_back(Element());
      } else if (Looking("&")) {
        Reference(node.text);
      } else if (Looking("]]>")) {
        Fail("']]>' in text");
      } else {
        // Plain text up to the next byte that may start markup.
        size_t end = text_.find_first_of("<&]", at_ + 1);
        if (end == std::string_view::npos) end = text_.size();
        node.text.append(text_.substr(at_, end - at_));
        at_ = end;
      }
    }
    Fail("unclosed element " + node.name);
  }

  std::string_view text_;
  size_t at_ = 0;
};

}  // namespace

const XmlNode* XmlNode::Child(std::string_view child) const {
  for (const auto& node : children) {
    if (node->name == child) return node.get();
  }
  return nullptr;
}

std::vector<const XmlNode*> XmlNode::Children(std::string_view child) const {
  std::vector<const XmlNode*> found;
  for (const auto& node : children) {
    if (node->name == child) found.push_back(node.get());
  }
  return found;
}

std::string XmlNode::TextAt(std::string_view path) const {
  const XmlNode* node = this;
  while (!path.empty() && node != nullptr) {
    const size_t slash = path.find('/');
    node = node->Child(path.substr(0, slash));
    path = slash == std::string_view::npos ? "" : path.substr(slash + 1);
  }
  return node == nullptr ? "" : node->text;
}

std::unique_ptr<XmlNode> ParseXml(std::string_view document) {
  return Parser(document).Document();
}

}  // namespace korvelo::testing
