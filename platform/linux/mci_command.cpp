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

// "open \"<path>\" alias <name>" with a '"' in the path: the path runs from the first '"' to
// the last one before " alias". Words() would end it at its own '"'.
std::vector<std::string> OpenWords(const std::string& command) {
  const size_t verb = command.find_first_not_of(" \t");
  const size_t quote =
      verb == std::string::npos ? verb : command.find_first_not_of(" \t", verb + 4);
  if (quote == std::string::npos || command[quote] != '"') return Words(command);
  const size_t end = Lower(command).rfind("\" alias ");
  if (end == std::string::npos || end <= quote) return Words(command);
  std::vector<std::string> words = {command.substr(verb, 4),
                                    command.substr(quote + 1, end - quote - 1)};
  for (std::string& word : Words(command.substr(end + 1))) words.push_back(std::move(word));
  return words;
}

}  // namespace

MciCommand ParseMciCommand(const std::string& command) {
  MciCommand mci;
  std::vector<std::string> words = Words(command);
  if (words.empty()) return mci;
  mci.verb = Lower(words[0]);
  if (mci.verb == "open") words = OpenWords(command);
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
