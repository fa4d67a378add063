// A small, strict XML reader for tests: elements, attributes, text with
// entity and character references, CDATA. Enough to read our own map
// documents the way a reader would, independently of the writers.
#ifndef KORVELO_TESTS_SUPPORT_XML_TREE_H_
#define KORVELO_TESTS_SUPPORT_XML_TREE_H_

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace korvelo::testing {

struct XmlNode {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::string text;  // the character data directly inside, concatenated
  std::vector<std::unique_ptr<XmlNode>> children;

  // The first child named `child`, or null.
  const XmlNode* Child(std::string_view child) const;
  // Every child named `child`, in order.
  std::vector<const XmlNode*> Children(std::string_view child) const;
  // Text of the element reached by the child names of `path` ("a/b/c"),
  // empty when one is missing.
  std::string TextAt(std::string_view path) const;
};

// Thrown for text that is not well-formed (mismatched or unclosed tags,
// an unknown entity, a raw "<" or "&" in text, bytes after the root).
class XmlError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The root element of `document`.
std::unique_ptr<XmlNode> ParseXml(std::string_view document);

}  // namespace korvelo::testing

#endif  // KORVELO_TESTS_SUPPORT_XML_TREE_H_
