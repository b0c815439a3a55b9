#include "platform/linux/mci_command.h"

#include <cctype>
#include <vector>

namespace slidesaver::linux_platform {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Words separated by blanks; a double-quoted stretch is one word without its quotes.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i >= text.size()) break;
    std::string word;
    if (text[i] == '"') {
      const size_t end = text.find('"', i + 1);
      word = text.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
      i = end == std::string::npos ? text.size() : end + 1;
    } else {
      while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])))
        word += text[i++];
    }
    words.push_back(std::move(word));
  }
  return words;
}

}  // namespace

MciCommand ParseMciCommand(const std::string& command) {
  MciCommand mci;
  const std::vector<std::string> words = Words(command);
  if (words.empty()) return mci;
  mci.verb = Lower(words[0]);
  if (words.size() < 2) return mci;
  size_t next = 2;
  if (mci.verb == "open") {
    mci.path = words[1];
    for (size_t i = 2; i < words.size(); ++i) {
      if (Lower(words[i]) == "alias" && i + 1 < words.size()) {
        mci.alias = Lower(words[i + 1]);
        next = words.size();
        break;
      }
    }
    mci.device = mci.alias.empty() ? mci.path : mci.alias;
  } else {
    mci.device = Lower(words[1]);
  }
  for (size_t i = next; i < words.size(); ++i) {
    if (!mci.rest.empty()) mci.rest += ' ';
    mci.rest += Lower(words[i]);
  }
  return mci;
}

}  // namespace slidesaver::linux_platform
