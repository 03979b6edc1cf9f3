#pragma once
// Builds a QTextDocument from what the RTF reader found: runs of text with their
// character state, paragraph ends with their paragraph state, pictures. Knows the font,
// colour and list tables that the reader collected.
#include "rtf/RtfFormats.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextListFormat>

#include <unordered_map>
#include <vector>

class QTextDocument;
class QTextList;

namespace quorix::rtf {

// The character formatting of RTF, kept per group.
struct CharState
{
    int font = -1;                       // \f index, -1 when none
    int halfPoints = kDefaultHalfPoints; // \fs
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false; // \v: not shown, not loaded
    int foreground = 0;  // \cf colour index, 0 = automatic
    int background = 0;  // \highlight / \cb colour index, 0 = none
    VerticalPosition vertical = VerticalPosition::Normal;
    bool operator==(const CharState &) const = default;
};

// Paragraph numbering of the old (\pn) form.
enum class PnKind
{
    None,
    Bullet,
    Body,
    Level,
    Continue
};

// Paragraph alignment (\ql, \qr, \qc, \qj).
enum class Alignment
{
    Left,
    Right,
    Centre,
    Justify
};

// The paragraph formatting of RTF. Measures are in twips.
struct ParaState
{
    Alignment alignment = Alignment::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0;
    bool lineMultiple = false;
    int listOverride = 0; // \ls, 0 = none
    int listLevel = 0;    // \ilvl
    PnKind pnKind = PnKind::None;
    int pnLevel = 1;
    QTextListFormat::Style pnStyle = QTextListFormat::ListDecimal;
};

struct RtfFont
{
    QString family;
    int codePage = 0; // 0 = the document's code page
};

// The tables of an RTF document, filled by the reader.
struct RtfTables
{
    std::unordered_map<int, RtfFont> fonts;
    std::vector<QColor> colours; // index 0 is usually "automatic"
    std::unordered_map<int, std::vector<QTextListFormat::Style>> lists; // \listid -> level styles
    // (ListStyleUndefined: a level without number or bullet)
    std::unordered_map<int, int> listOverrides; // \ls -> \listid
};

class RtfDocumentBuilder
{
  public:
    RtfDocumentBuilder(QTextDocument &doc, const RtfTables &tables);

    void appendText(QStringView text, const CharState &state);
    void appendImage(const QImage &image, qreal width, qreal height);
    void endParagraph(const ParaState &para, const CharState &state);
    void finish(const ParaState &para, const CharState &state);

  private:
    void flushRun();
    void ensureBlock();
    void applyParagraph(const ParaState &para, const CharState &state);
    void applyList(const ParaState &para, QTextListFormat::Style style, int level);
    QTextCharFormat charFormat(const CharState &state);
    QTextListFormat::Style listStyle(const ParaState &para, bool *isList) const;

    QTextDocument &doc_;
    const RtfTables &tables_;
    QTextCursor cursor_;
    QString run_;
    CharState runState_;
    bool pendingBlock_ = false;
    bool paraHasContent_ = false;
    CharState lastState_;
    QTextCharFormat lastFormat_;
    bool lastValid_ = false;
    std::unordered_map<long long, QTextList *> listsByLevel_; // (\ls, \ilvl) -> list
    QTextList *pnList_ = nullptr;
    int pnKey_ = -1;
};

} // namespace quorix::rtf
