// SPDX-License-Identifier: GPL-3.0-or-later
// The manual and the programs' messages: every message of the table is
// explained in the manual under its anchor, every explanation there belongs to
// a message, and the manual's pictures and links lead somewhere.
#include "core/messages/messages.h"

#include <cctype>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "support/test_files.h"

namespace zielwerk {
namespace {

const std::string kManualDir = ZIELWERK_MANUAL_DIR;

// Text without tags, the few entities the manual uses decoded, and every run
// of blanks and line ends one blank.
std::string PlainText(const std::string& html) {
  std::string text = std::regex_replace(html, std::regex("<[^>]*>"), "");
  for (const auto& [entity, character] :
       std::map<std::string, std::string>{{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""},
                                          {"&nbsp;", " "}, {"&amp;", "&"}}) {
    for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at)) {
      text.replace(at, entity.size(), character);
      at += character.size();
    }
  }
  return std::regex_replace(text, std::regex("\\s+"), " ");
}

// The manual's explained messages: the text of each <dt id="meldung-KEY">
// and of the <dd> after it, by KEY.
struct Explanation {
  std::string shown;
  std::string explained;
};

std::map<std::string, Explanation> Explanations(const std::string& html) {
  std::map<std::string, Explanation> found;
  const std::regex entry("<dt id=\"meldung-([a-z0-9-]+)\">([\\s\\S]*?)</dt>\\s*<dd>([\\s\\S]*?)</dd>");
  for (auto it = std::sregex_iterator(html.begin(), html.end(), entry); it != std::sregex_iterator(); ++it) {
    found[(*it)[1]] = {PlainText((*it)[2]), PlainText((*it)[3])};
  }
  return found;
}

// The fixed parts of a message, between its placeholders, trimmed.
std::vector<std::string> FixedParts(std::string_view text) {
  std::vector<std::string> parts;
  for (const std::string& part : {std::regex_replace(std::string(text), std::regex("\\{[1-9]\\}"), "\x01")}) {
    size_t start = 0;
    while (start <= part.size()) {
      const size_t end = std::min(part.find('\x01', start), part.size());
      const std::string piece = PlainText(part.substr(start, end - start));
      const size_t first = piece.find_first_not_of(' ');
      if (first != std::string::npos) parts.push_back(piece.substr(first, piece.find_last_not_of(' ') - first + 1));
      start = end + 1;
    }
  }
  return parts;
}

// The words of `text` in lower case: runs of letters and digits, a byte
// above ASCII counting as a letter.
std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words(1);
  for (const char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80) {
      words.back() += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else if (!words.back().empty()) {
      words.emplace_back();
    }
  }
  if (words.back().empty()) words.pop_back();
  return words;
}

class ManualTest : public ::testing::Test {
 protected:
  const std::string html_ = testing::ReadFileBytes(kManualDir + "/laufschild.html");
};

TEST_F(ManualTest, ExplainsEveryMessageUnderItsAnchor) {
  ASSERT_FALSE(html_.empty());
  const std::map<std::string, Explanation> explanations = Explanations(html_);
  for (const MessageEntry& message : kMessages) {
    SCOPED_TRACE(message.key);
    const auto found = explanations.find(std::string(message.key));
    ASSERT_NE(found, explanations.end()) << "no <dt id=\"meldung-" << message.key << "\">";
    for (const std::string& part : FixedParts(message.text)) {
      EXPECT_NE(found->second.shown.find(part), std::string::npos)
          << "\"" << part << "\" is not in \"" << found->second.shown << "\"";
    }
    // An explanation says what happened and what to do, not the message again.
    const std::vector<std::string> message_words = Words(message.text);
    const std::set<std::string> said(message_words.begin(), message_words.end());
    size_t beyond = 0;
    for (const std::string& word : Words(found->second.explained)) beyond += !said.contains(word);
    EXPECT_GE(beyond, 10u) << "the explanation says little beyond the message: \"" << found->second.explained << "\"";
  }
  // And nothing is explained that the programs no longer say.
  std::set<std::string> keys;
  for (const MessageEntry& message : kMessages) keys.insert(std::string(message.key));
  for (const auto& [key, explanation] : explanations) EXPECT_TRUE(keys.contains(key)) << key;
}

// Every picture and link of the manual leads to a file beside it or to an
// anchor in it.
TEST_F(ManualTest, PicturesAndLinksLeadSomewhere) {
  std::set<std::string> ids;
  const std::regex id("\\sid=\"([^\"]+)\"");
  for (auto it = std::sregex_iterator(html_.begin(), html_.end(), id); it != std::sregex_iterator(); ++it) {
    EXPECT_TRUE(ids.insert((*it)[1]).second) << "id " << (*it)[1] << " twice";
  }
  const std::regex reference("\\s(src|href)=\"([^\"]+)\"");
  int references = 0;
  for (auto it = std::sregex_iterator(html_.begin(), html_.end(), reference); it != std::sregex_iterator(); ++it) {
    const std::string target = (*it)[2];
    ++references;
    if (target.starts_with("#")) {
      EXPECT_TRUE(ids.contains(target.substr(1))) << "no anchor " << target;
    } else {
      EXPECT_EQ(target.find(':'), std::string::npos) << target << " leaves the manual";
      EXPECT_TRUE(std::filesystem::is_regular_file(kManualDir + "/" + target)) << "no file " << target;
    }
  }
  EXPECT_GT(references, 20);
}

// A picture opens whole on a click, and every section leads back to the
// contents: the page is long, and read on a phone too.
TEST_F(ManualTest, PicturesOpenWholeAndSectionsLeadBack) {
  const std::regex picture("(.{0,80})<img src=\"([^\"]+)\"");
  for (auto it = std::sregex_iterator(html_.begin(), html_.end(), picture); it != std::sregex_iterator(); ++it) {
    EXPECT_TRUE(std::string((*it)[1]).ends_with("<a href=\"" + std::string((*it)[2]) + "\">"))
        << (*it)[2] << " is not a link to itself";
  }
  // Found by plain search: a regular expression over a whole section
  // recurses once a character and overflows the stack of a sanitizer build.
  const std::string open = "<section id=\"";
  int sections = 0;
  for (size_t at = html_.find(open); at != std::string::npos; at = html_.find(open, at + 1)) {
    const size_t name_end = html_.find('"', at + open.size());
    const size_t end = html_.find("</section>", at);
    ASSERT_NE(end, std::string::npos);
    ++sections;
    EXPECT_NE(html_.substr(at, end - at).find("href=\"#inhalt\""), std::string::npos)
        << html_.substr(at + open.size(), name_end - at - open.size()) << " has no way back";
  }
  EXPECT_GT(sections, 10);
}

}  // namespace
}  // namespace zielwerk
