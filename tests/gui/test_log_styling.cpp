// The styling pass of the test log: what it sets in bold and red, and that
// finding every occurrence in one pass gives exactly what finding and styling
// them in the document one at a time gives.

#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include "testrun/dialog/log_styling.h"

namespace kestrel {

namespace {

const QColor kText(Qt::black);

// Finds and styles each occurrence in the document, one search per
// occurrence: "Error" first, then every phrase in order, each time inverting
// the bold state (and for "Error" the colour) the selection reports.
void StyleOneByOne(QTextDocument& document, const QStringList& phrases) {
  const auto flags = QTextDocument::FindCaseSensitively | QTextDocument::FindWholeWords;
  QStringList all{QStringLiteral("Error")};
  all << phrases;
  for (qsizetype p = 0; p < all.size(); ++p) {
    if (all[p].isEmpty()) continue;
    QTextCursor found(&document);
    while (!(found = document.find(all[p], found, flags)).isNull()) {
      const QTextCharFormat reported = found.charFormat();
      QTextCharFormat change;
      change.setFontWeight(reported.fontWeight() >= QFont::Bold ? QFont::Normal : QFont::Bold);
      if (p == 0) {
        const QColor colour =
            reported.foreground().style() == Qt::NoBrush ? kText : reported.foreground().color();
        change.setForeground(ErrorColorFor(colour));
      }
      found.mergeCharFormat(change);
    }
  }
}

void StyleInOnePass(QTextDocument& document, const QStringList& phrases) {
  ApplyLogStyle(document, ComputeLogStyle(document.toPlainText(), phrases), ErrorColorFor(kText));
}

// One letter per character: '.' plain, 'b' bold, 'r' red, 'R' bold red.
QString Styles(const QTextDocument& document) {
  QString out;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (block != document.begin()) out += u'\n';
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const QTextCharFormat format = fragment.charFormat();
      const bool bold = format.fontWeight() >= QFont::Bold;
      const bool red = format.foreground().style() != Qt::NoBrush && format.foreground().color() != kText;
      out += QString(fragment.length(), red ? (bold ? u'R' : u'r') : (bold ? u'b' : u'.'));
    }
  }
  return out;
}

// The styles of the n-th occurrence of `part` in line `line` of the document.
QString StylesOf(const QTextDocument& document, int line, const QString& part, int occurrence = 0) {
  const QString text = document.findBlockByNumber(line).text();
  qsizetype at = -1;
  for (int i = 0; i <= occurrence; ++i) at = text.indexOf(part, at + 1);
  if (at < 0) return QStringLiteral("<missing>");
  return Styles(document).split(u'\n').value(line).mid(at, part.size());
}

const QString kPath = QStringLiteral("/home/ann/Error Testing/my plug (1).cln");

const QStringList kLines = {
    QString(),
    QStringLiteral("Testing: ") + kPath,
    QStringLiteral("================================"),
    QStringLiteral("[Registry Action: Delete Value list with Pattern HKCU\\Software\\A, B]"),
    QStringLiteral("\tDeleted Value: Hkey_Current_User\\Software\\A\\Bx"),
    QStringLiteral("[Registry Action: Delete Value HKCU\\Software\\Error]"),
    QStringLiteral("[Registry Action: Delete Keylist with Pattern HKCU\\Software\\K]"),
    QStringLiteral("[Registry Action: Delete Key HKCU\\Software\\Empty Key]"),
    QStringLiteral("[File/Folder Action: Delete Path's files matching pattern C:\\Temp\\*.tmp]"),
    QStringLiteral("\tDeleted File: C:\\Temp\\Errors.tmp"),
    QStringLiteral("\tError: Unable to access C:\\Temp\\Locked\\*.*"),
    QStringLiteral("[File/Folder Action: Delete Path and subdirs matching pattern C:\\x]"),
    QStringLiteral("[File/Folder Action: Empty Path Empty Path C:\\y]"),
    QStringLiteral("[File/Folder Action: Delete Ini Section Delete Ini Key Delete\u00A0File]"),
    QStringLiteral("error Errors xError Error2 _Error_ \u00C9Error Error\u00DF Error"),
    QStringLiteral("Error: No actions enabled/run"),
    QStringLiteral("================================================================"),
    QString(),
    QString(),
    QStringLiteral("[Results]"),
    QStringLiteral("Files Deleted\t: 1"),
    kPath + kPath + QStringLiteral(" ") + kPath,
};

}  // namespace

class TestLogStyling : public QObject {
  Q_OBJECT

 private slots:
  void WhatIsStyled_data() {
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("part");
    QTest::addColumn<int>("occurrence");
    QTest::addColumn<QString>("styles");
    auto row = [](const char* name, int line, const QString& part, int occurrence, const QString& styles) {
      QTest::newRow(name) << line << part << occurrence << styles;
    };
    auto bold = [](const QString& part) { return QString(part.size(), u'b'); };
    auto plain = [](const QString& part) { return QString(part.size(), u'.'); };
    const QString testing = QStringLiteral("Testing");
    const QString error = QStringLiteral("Error");
    const QString home = QStringLiteral("/home/ann/");
    const QString ini = QStringLiteral("Delete Ini Section Delete Ini Key Delete\u00A0File");

    row("first line empty", 0, QString(), 0, QString());
    row("heading word", 1, testing, 0, bold(testing));
    row("path", 1, home, 0, bold(home));
    // "Error" inside the path: red, and bold again from the path's own pass.
    row("error in path", 1, error, 0, QStringLiteral("RRRRR"));
    // The path's pass made it bold; the later "Testing" pass inverts it.
    row("word inside bold path", 1, testing, 1, plain(testing));
    // The longer phrase reads the last character of the shorter one's result
    // (plain), so the whole phrase ends up bold.
    row("overlapping phrases", 3, QStringLiteral("Delete Value list with Pattern"), 0,
        bold(QStringLiteral("Delete Value list with Pattern")));
    row("heading prefix", 3, QStringLiteral("[Registry Action: "), 0, plain(QStringLiteral("[Registry Action: ")));
    row("item line", 4, kLines[4], 0, plain(kLines[4]));
    row("value", 5, QStringLiteral("Delete Value"), 0, bold(QStringLiteral("Delete Value")));
    row("error in key path", 5, error, 0, QStringLiteral("RRRRR"));
    row("keylist", 6, QStringLiteral("Delete Keylist with Pattern"), 0,
        bold(QStringLiteral("Delete Keylist with Pattern")));
    row("key", 7, QStringLiteral("Delete Key"), 0, bold(QStringLiteral("Delete Key")));
    row("empty key", 7, QStringLiteral("Empty Key"), 0, bold(QStringLiteral("Empty Key")));
    row("files matching", 8, QStringLiteral("Delete Path's files matching pattern"), 0,
        bold(QStringLiteral("Delete Path's files matching pattern")));
    row("deleted file", 9, kLines[9], 0, plain(kLines[9]));
    row("item error", 10, QStringLiteral("\tError: U"), 0, QStringLiteral(".RRRRR..."));
    row("subdirs", 11, QStringLiteral("Delete Path and subdirs matching pattern"), 0,
        bold(QStringLiteral("Delete Path and subdirs matching pattern")));
    row("phrase twice", 12, QStringLiteral("Empty Path Empty Path"), 0,
        QStringLiteral("bbbbbbbbbb.bbbbbbbbbb"));
    // A no-break space stands for a space, as in the view's own search.
    row("ini and no-break space", 13, ini, 0,
        QStringLiteral("bbbbbbbbbbbbbbbbbb.bbbbbbbbbbbbbb.bbbbbbbbbbb"));
    // Whole words matching case only; "_" separates words, accented letters don't.
    row("not words", 14, QStringLiteral("error Errors xError Error2 "), 0,
        plain(QStringLiteral("error Errors xError Error2 ")));
    row("underscore", 14, QStringLiteral("_Error_"), 0, QStringLiteral(".RRRRR."));
    row("accented letters", 14, QStringLiteral("\u00C9Error Error\u00DF"), 0,
        plain(QStringLiteral("\u00C9Error Error\u00DF")));
    row("last word", 14, QStringLiteral(" Error"), 3, QStringLiteral(".RRRRR"));
    row("run error", 15, QStringLiteral("Error: "), 0, QStringLiteral("RRRRR.."));
    row("results", 19, kLines[19], 0, QStringLiteral(".bbbbbbb."));
    row("totals", 20, kLines[20], 0, plain(kLines[20]));
    // Touching paths: the second begins right after a letter and is no whole
    // word; only its own "Error" and "Testing" are styled.
    row("first of touching paths", 21, home, 0, bold(home));
    row("second of touching paths", 21, home, 1, plain(home));
    row("error in unmatched path", 21, error, 1, QStringLiteral("RRRRR"));
    row("word in unmatched path", 21, testing, 1, bold(testing));
    row("third path", 21, home, 2, bold(home));
  }

  void WhatIsStyled() {
    QFETCH(int, line);
    QFETCH(QString, part);
    QFETCH(int, occurrence);
    QFETCH(QString, styles);
    QTextDocument document(kLines.join(u'\n'));
    StyleInOnePass(document, LogKeyPhrases(kPath));
    QCOMPARE(StylesOf(document, line, part, occurrence), styles);
  }

  void OnePassMatchesOneByOne_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("path");
    QTest::newRow("log") << kLines.join(u'\n') << kPath;
    QTest::newRow("path with phrases") << kLines.join(u'\n') << QStringLiteral("C:\\Delete Value\\Results.cln");
    QTest::newRow("repeating path") << QStringLiteral("x.x.x.x x.x\n.x.x") << QStringLiteral(".x.x");
    QTest::newRow("empty path") << kLines.join(u'\n') << QString();
    QTest::newRow("path across lines") << QStringLiteral("a\nb a\nb") << QStringLiteral("a\nb");
    QTest::newRow("no text") << QString() << kPath;

    // Random logs built from phrases, their fragments and word characters.
    const QStringList pieces = {QStringLiteral("Error"), QStringLiteral("Delete"), QStringLiteral(" Value"),
                                QStringLiteral(" Key"), QStringLiteral("list with Pattern"), QStringLiteral("Empty"),
                                QStringLiteral(" Path"), QStringLiteral("Testing"), QStringLiteral("Results"),
                                QStringLiteral(" "), QStringLiteral("\n"), QStringLiteral("\t"), QStringLiteral("s"),
                                QStringLiteral("_"), QStringLiteral("9"), QStringLiteral("\u00E9"),
                                QStringLiteral("[Registry Action: "), QStringLiteral("]"), QStringLiteral("p.cln"),
                                QStringLiteral(" Ini"), QStringLiteral(" Section"), QStringLiteral(" File"),
                                QStringLiteral("Keylist"), QStringLiteral(" and subdirs matching pattern")};
    for (quint32 seed = 1; seed <= 40; ++seed) {
      QRandomGenerator random(seed);
      QString text;
      const int count = 50 + random.bounded(400);
      for (int i = 0; i < count; ++i) text += pieces[random.bounded(pieces.size())];
      QTest::addRow("random %u", seed) << text << QStringLiteral("p.cln Error");
    }
  }

  void OnePassMatchesOneByOne() {
    QFETCH(QString, text);
    QFETCH(QString, path);
    const QStringList phrases = LogKeyPhrases(path);
    QTextDocument expected(text);
    StyleOneByOne(expected, phrases);
    QTextDocument actual(text);
    StyleInOnePass(actual, phrases);
    QCOMPARE(Styles(actual), Styles(expected));
  }

  void ErrorColour() {
    QCOMPARE(ErrorColorFor(Qt::black), QColor(200, 0, 0));
    QCOMPARE(ErrorColorFor(QColor(255, 255, 255)), QColor(55, 255, 255));
  }
};

}  // namespace kestrel

QTEST_MAIN(kestrel::TestLogStyling)
#include "test_log_styling.moc"
