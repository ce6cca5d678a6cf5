#pragma once
// The styling pass that ends a test run's log: every whole-word, case-sensitive
// "Error" in bold and red, then the key phrases in bold, phrase after phrase.
//
// Each occurrence inverts the bold state the view reports for it, and a view
// reports the format of a selection's last character; so where phrases overlap
// ("Delete Value" inside "Delete Value list with Pattern") the later phrase
// reads the earlier one's result at its last character. The occurrences are
// found in one pass over the text and the final formats are worked out before
// the document is touched, with the result of finding and styling each
// occurrence in the document one at a time.

#include <QColor>
#include <QString>
#include <QStringList>
#include <vector>

class QTextDocument;

namespace kestrel {

// The word set in bold and red, before every key phrase.
inline constexpr char16_t kLogErrorWord[] = u"Error";

// The phrases set in bold, in the order they are applied: the plug-in's path,
// then the action descriptions and the words of the frame.
QStringList LogKeyPhrases(const QString& plugin_path);

// A stretch of text that ends up bold and/or red.
struct LogStyleRun {
  int start = 0;
  int length = 0;
  bool bold = false;
  bool red = false;

  bool operator==(const LogStyleRun&) const = default;
};

// The runs for `text` (the document's plain text, lines separated by "\n"):
// the word kLogErrorWord, then `phrases` in order. A phrase matches where no
// letter or digit touches it on either side; after a match the search goes on
// at its end, after a rejected candidate at the next character. A phrase that
// is empty or spans lines never matches. Runs are in text order, never touch
// or overlap one another with the same style, and hold only styled text.
std::vector<LogStyleRun> ComputeLogStyle(const QString& text, const QStringList& phrases);

// Applies the runs to an unstyled document in one edit block: bold as a bold
// weight, red as `red` for the text colour.
void ApplyLogStyle(QTextDocument& document, const std::vector<LogStyleRun>& runs, const QColor& red);

// The colour "Error" gets: the text colour with its red part flipped by 200,
// which turns black text into red 200.
QColor ErrorColorFor(const QColor& text_color);

}  // namespace kestrel
