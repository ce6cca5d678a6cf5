#include "testrun/dialog/log_styling.h"

#include <QFont>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <array>
#include <cstdint>

namespace kestrel {

namespace {

constexpr uint8_t kBold = 1;
constexpr uint8_t kRed = 2;

bool SpansLines(const QString& phrase) {
  for (QChar c : phrase)
    if (c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator) return true;
  return false;
}

// Phrases grouped by their first character, so the pass looks at a handful of
// candidates only where some phrase begins with the character at hand.
class FirstCharIndex {
 public:
  explicit FirstCharIndex(const QStringList& phrases) {
    for (qsizetype p = 0; p < phrases.size(); ++p) {
      if (phrases[p].isEmpty() || SpansLines(phrases[p])) continue;
      const char16_t first = phrases[p].front().unicode();
      if (first < ascii_.size()) {
        ascii_[first].push_back(static_cast<int>(p));
      } else {
        other_.push_back(static_cast<int>(p));
      }
    }
  }

  template <typename Visit>
  void ForEach(QChar c, const QStringList& phrases, Visit visit) const {
    const char16_t code = c.unicode();
    if (code < ascii_.size()) {
      for (int p : ascii_[code]) visit(p);
      return;
    }
    for (int p : other_)
      if (phrases[p].front() == c) visit(p);
  }

 private:
  std::array<std::vector<int>, 128> ascii_;
  std::vector<int> other_;
};

}  // namespace

QStringList LogKeyPhrases(const QString& plugin_path) {
  return {plugin_path,
          QStringLiteral("Delete File"),
          QStringLiteral("Delete Key"),
          QStringLiteral("Delete Value"),
          QStringLiteral("Testing"),
          QStringLiteral("Results"),
          QStringLiteral("Delete Value list with Pattern"),
          QStringLiteral("Delete Keylist with Pattern"),
          QStringLiteral("Empty Key"),
          QStringLiteral("Delete Ini Section"),
          QStringLiteral("Delete Ini Key"),
          QStringLiteral("Empty Path"),
          QStringLiteral("Delete Path and subdirs matching pattern"),
          QStringLiteral("Delete Path's files matching pattern")};
}

std::vector<LogStyleRun> ComputeLogStyle(const QString& text, const QStringList& key_phrases) {
  QStringList phrases;
  phrases.reserve(key_phrases.size() + 1);
  phrases << QString::fromUtf16(kLogErrorWord) << key_phrases;
  const FirstCharIndex index(phrases);

  // One pass: the matches of every phrase, each list in text order. A phrase's
  // next match may not start before its previous match ends.
  std::vector<std::vector<int>> matches(phrases.size());
  std::vector<qsizetype> free_from(phrases.size(), 0);
  const QStringView all(text);
  const qsizetype size = all.size();
  bool after_word_char = false;
  for (qsizetype i = 0; i < size; ++i) {
    const QChar c = all[i];
    if (!after_word_char) {
      index.ForEach(c, phrases, [&](int p) {
        const QString& phrase = phrases[p];
        const qsizetype end = i + phrase.size();
        if (i < free_from[p] || end > size) return;
        if (all.sliced(i, phrase.size()) != phrase) return;
        if (end < size && all[end].isLetterOrNumber()) return;
        matches[p].push_back(static_cast<int>(i));
        free_from[p] = end;
      });
    }
    after_word_char = c.isLetterOrNumber();
  }

  // The formats, applied phrase after phrase as the view would apply them.
  std::vector<uint8_t> style(static_cast<size_t>(size), 0);
  bool any = false;
  for (size_t p = 0; p < matches.size(); ++p) {
    const size_t length = static_cast<size_t>(phrases[static_cast<qsizetype>(p)].size());
    for (int start : matches[p]) {
      uint8_t* first = style.data() + start;
      const uint8_t last = first[length - 1];
      const uint8_t bold = (last & kBold) ? 0 : kBold;
      // "Error" also flips the colour its last character reports.
      const uint8_t red = p == 0 ? ((last & kRed) ? 0 : kRed) : 0;
      const uint8_t keep = p == 0 ? 0 : kRed;
      for (size_t k = 0; k < length; ++k) first[k] = static_cast<uint8_t>((first[k] & keep) | bold | red);
      any = true;
    }
  }

  std::vector<LogStyleRun> runs;
  if (!any) return runs;
  for (qsizetype i = 0; i < size;) {
    const uint8_t s = style[static_cast<size_t>(i)];
    qsizetype j = i + 1;
    while (j < size && style[static_cast<size_t>(j)] == s) ++j;
    if (s != 0) runs.push_back({static_cast<int>(i), static_cast<int>(j - i), (s & kBold) != 0, (s & kRed) != 0});
    i = j;
  }
  return runs;
}

void ApplyLogStyle(QTextDocument& document, const std::vector<LogStyleRun>& runs, const QColor& red) {
  if (runs.empty()) return;
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  QTextCharFormat bold_red = bold;
  bold_red.setForeground(red);
  QTextCharFormat red_only;
  red_only.setForeground(red);

  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  for (const LogStyleRun& run : runs) {
    cursor.setPosition(run.start);
    cursor.setPosition(run.start + run.length, QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(run.red ? (run.bold ? bold_red : red_only) : bold);
  }
  cursor.endEditBlock();
}

QColor ErrorColorFor(const QColor& text_color) {
  return QColor(text_color.red() ^ 0xC8, text_color.green(), text_color.blue());
}

}  // namespace kestrel
