// manualpdf: renders one user manual from its Markdown sources to an A4 PDF.
//
//   manualpdf LIST OUTPUT.pdf
//
// LIST describes one manual, one entry a line ('#' starts a comment line):
//   title: <text>        the title on the first page and in the running head
//   subtitle: <text>     the line below the title
//   tags: <tag> ...      the tags of this manual, for the conditional parts below
//   <file>.md            a source file, relative to the list's folder, in reading order
//
// The source files are joined in order. Inside a file, a line "<!-- if TAG... -->" starts a part that
// is kept only when the manual has at least one of the tags, "<!-- else -->" turns the condition
// round and "<!-- endif -->" ends the part; parts nest and end in the file that opened them. The same
// three comments inside a line select part of that line. Any other line holding just an HTML
// comment is dropped.
//
// Level 1 and 2 headings are numbered and listed in a table of contents on the first page; every
// level 1 heading starts a new page. The text goes through QTextDocument::setMarkdown (GitHub
// dialect), is laid out on A4 pages and painted with a running head and "Page n of m" at the foot
// of each page. Page breaks fall between lines and between table rows: a row that does not fit
// goes on the next page below a copy of its table's header row, and a heading near a page's end
// moves to the next page with its text. The tool needs a QGuiApplication; the build runs it with QT_QPA_PLATFORM=offscreen.

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace {

struct Manual {
    QString title;
    QString subtitle;
    QSet<QString> tags;
    QStringList files;
};

struct Heading {
    int level = 0;
    QString text; // with its number
};

// Page geometry in millimetres (A4 portrait).
constexpr qreal kMarginLeftRight = 20.0;
constexpr qreal kMarginTopBottom = 12.0;
constexpr qreal kHeadZone = 10.0; // running head above the body
constexpr qreal kFootZone = 10.0; // page number below the body
constexpr qreal kKeepWithNext = 28.0; // a heading this close to the page's end moves to the next page
constexpr int kResolution = 300; // dots per inch of the PDF's device space

const QColor kHeadingColour(0x1f, 0x3a, 0x5f);
const QColor kRuleColour(0x99, 0x99, 0x99);
const QColor kTableHeadColour(0xe4, 0xe9, 0xf0);
const QColor kCodeColour(0xf0, 0xf0, 0xf0);

void complain(const QString& message)
{
    std::fprintf(stderr, "manualpdf: %s\n", qPrintable(message));
}

QtMessageHandler qtHandler = nullptr;

// Build machines and containers often have no XDG_RUNTIME_DIR; rendering a file does not need one,
// so Qt's note about it is left out of the build log. Every other message passes.
void filterQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    if (qtHandler)
        qtHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

qreal mmToDevice(qreal mm)
{
    return mm / 25.4 * kResolution;
}

// Lengths in the document's formats (margins, padding, borders) are pixels of 1/96 inch, which the
// layout scales to the paint device.
qreal pt(qreal points)
{
    return points * 96.0 / 72.0;
}

std::optional<Manual> readList(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        complain(QStringLiteral("cannot read %1").arg(path));
        return std::nullopt;
    }
    Manual manual;
    const QDir folder = QFileInfo(path).absoluteDir();
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1String("title:")))
            manual.title = line.mid(6).trimmed();
        else if (line.startsWith(QLatin1String("subtitle:")))
            manual.subtitle = line.mid(9).trimmed();
        else if (line.startsWith(QLatin1String("tags:")))
            for (const QString& tag : line.mid(5).split(QLatin1Char(' '), Qt::SkipEmptyParts))
                manual.tags.insert(tag);
        else
            manual.files.append(folder.filePath(line));
    }
    if (manual.title.isEmpty() || manual.files.isEmpty()) {
        complain(QStringLiteral("%1 names no title or no source file").arg(path));
        return std::nullopt;
    }
    return manual;
}

bool anyTag(const QString& names, const QSet<QString>& tags)
{
    for (const QString& name : names.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        if (tags.contains(name))
            return true;
    return false;
}

// Resolves the conditional parts inside one line, innermost first:
// "text<!-- if TAG... -->kept<!-- else -->otherwise<!-- endif -->text".
std::optional<QString> selectInline(QString line, const QSet<QString>& tags)
{
    static const QRegularExpression part(QStringLiteral(
        R"(<!--\s*if\s+((?:(?!-->)[^<])+?)\s*-->((?:(?!<!--).)*?)(?:<!--\s*else\s*-->((?:(?!<!--).)*?))?<!--\s*endif\s*-->)"));
    for (QRegularExpressionMatch m = part.match(line); m.hasMatch(); m = part.match(line))
        line.replace(m.capturedStart(), m.capturedLength(), anyTag(m.captured(1), tags) ? m.captured(2) : m.captured(3));
    static const QRegularExpression leftover(QStringLiteral(R"(<!--\s*(if|else|endif)\b)"));
    if (leftover.match(line).hasMatch())
        return std::nullopt;
    return line;
}

// Keeps the lines of one source file that the manual's tags select.
std::optional<QString> selectParts(const QString& text, const QSet<QString>& tags, const QString& source)
{
    static const QRegularExpression directive(
        QStringLiteral(R"(^\s*<!--\s*(if|else|endif)\b((?:(?!-->).)*)-->\s*$)"));
    static const QRegularExpression comment(QStringLiteral(R"(^\s*<!--.*-->\s*$)"));
    struct Level {
        bool outer;   // the enclosing part is kept
        bool matched; // the condition holds
        bool inElse;
    };
    std::vector<Level> levels;
    const auto keeping = [&levels] {
        if (levels.empty())
            return true;
        const Level& l = levels.back();
        return l.outer && (l.matched != l.inElse);
    };
    QStringList kept;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        const QString where = QStringLiteral("%1:%2").arg(source).arg(i + 1);
        const QRegularExpressionMatch m = directive.match(line);
        if (m.hasMatch()) {
            const QString word = m.captured(1);
            const QStringList names = m.captured(2).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (word == QLatin1String("if")) {
                if (names.isEmpty()) {
                    complain(where + QStringLiteral(": \"if\" without a tag"));
                    return std::nullopt;
                }
                levels.push_back({keeping(), anyTag(m.captured(2), tags), false});
            } else if (word == QLatin1String("else")) {
                if (levels.empty() || levels.back().inElse || !names.isEmpty()) {
                    complain(where + QStringLiteral(": misplaced \"else\""));
                    return std::nullopt;
                }
                levels.back().inElse = true;
            } else {
                if (levels.empty() || !names.isEmpty()) {
                    complain(where + QStringLiteral(": misplaced \"endif\""));
                    return std::nullopt;
                }
                levels.pop_back();
            }
            continue;
        }
        if (comment.match(line).hasMatch() || !keeping())
            continue;
        const std::optional<QString> resolved = selectInline(line, tags);
        if (!resolved) {
            complain(where + QStringLiteral(": unbalanced conditional part in the line"));
            return std::nullopt;
        }
        // A line that held only conditional text that is left out goes entirely, so that it cannot
        // end a list or a table.
        if (resolved->trimmed().isEmpty() && !line.trimmed().isEmpty())
            continue;
        kept.append(*resolved);
    }
    if (!levels.empty()) {
        complain(source + QStringLiteral(": \"if\" without \"endif\""));
        return std::nullopt;
    }
    return kept.join(QLatin1Char('\n'));
}

// Numbers the level 1 and 2 headings ("3", "3.2") outside code blocks and lists them.
QString numberHeadings(const QString& text, std::vector<Heading>& headings)
{
    static const QRegularExpression heading(QStringLiteral(R"(^(#{1,2})\s+(.*?)\s*#*\s*$)"));
    QStringList lines = text.split(QLatin1Char('\n'));
    bool inCode = false;
    int chapter = 0;
    int section = 0;
    for (QString& line : lines) {
        if (line.startsWith(QLatin1String("```"))) {
            inCode = !inCode;
            continue;
        }
        if (inCode)
            continue;
        const QRegularExpressionMatch m = heading.match(line);
        if (!m.hasMatch())
            continue;
        const int level = int(m.captured(1).size());
        QString number;
        if (level == 1) {
            number = QString::number(++chapter);
            section = 0;
        } else {
            number = QStringLiteral("%1.%2").arg(chapter).arg(++section);
        }
        const QString title = number + QLatin1Char(' ') + m.captured(2);
        headings.push_back({level, title});
        line = m.captured(1) + QLatin1Char(' ') + title;
    }
    return lines.join(QLatin1Char('\n'));
}

// The first page: title, subtitle and a table of contents whose page column is filled in later.
QString frontMatter(const Manual& manual, const std::vector<Heading>& headings)
{
    QString text = manual.title + QStringLiteral("\n\n");
    if (!manual.subtitle.isEmpty())
        text += manual.subtitle + QStringLiteral("\n\n");
    text += QStringLiteral("| Contents | Page |\n|:---|---:|\n");
    for (const Heading& h : headings) {
        QString entry = h.text;
        entry.replace(QLatin1Char('|'), QLatin1String("\\|"));
        if (h.level == 1)
            entry = QStringLiteral("**") + entry + QStringLiteral("**");
        text += QStringLiteral("| ") + entry + QStringLiteral(" | 0 |\n");
    }
    return text + QStringLiteral("\n");
}

void setFragmentsFormat(QTextDocument& doc, const QTextBlock& block, qreal pointSize, bool bold, const QColor& colour)
{
    struct Span {
        int position;
        int length;
        QTextCharFormat format;
    };
    std::vector<Span> spans;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.isValid())
            spans.push_back({fragment.position(), fragment.length(), fragment.charFormat()});
    }
    for (Span& span : spans) {
        span.format.clearProperty(QTextFormat::FontSizeAdjustment);
        span.format.setFontPointSize(pointSize);
        span.format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
        span.format.setForeground(colour);
        QTextCursor cursor(&doc);
        cursor.setPosition(span.position);
        cursor.setPosition(span.position + span.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(span.format);
    }
}

QString cellText(const QTextTable* table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

// Shares the width among the columns by how much text they hold, so that a column of long
// explanations is not squeezed by a column of long names: a column's weight is its mean text
// length, but room for its longest word at least, kept between 6 and 60 characters.
QList<QTextLength> columnWidths(const QTextTable* table)
{
    std::vector<qreal> weights;
    qreal sum = 0;
    for (int column = 0; column < table->columns(); ++column) {
        qreal total = 0;
        qreal longestWord = 0;
        for (int row = 0; row < table->rows(); ++row) {
            const QString text = cellText(table, row, column);
            total += text.size();
            for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                longestWord = std::max(longestWord, qreal(word.size()));
        }
        // Bold headers and the cell padding need a few characters more than the longest word.
        const qreal weight = std::clamp(std::max(total / table->rows(), longestWord * 1.2 + 3), qreal(6), qreal(60));
        weights.push_back(weight);
        sum += weight;
    }
    QList<QTextLength> widths;
    for (const qreal weight : weights)
        widths.append(QTextLength(QTextLength::PercentageLength, 100 * weight / sum));
    return widths;
}

void styleTable(QTextTable* table, bool contents)
{
    QTextTableFormat format = table->format();
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    format.setCellSpacing(0);
    format.setCellPadding(pt(contents ? 0.4 : 2.5));
    format.setBorderCollapse(true);
    format.setBorder(contents ? 0 : 1);
    format.setBorderStyle(contents ? QTextFrameFormat::BorderStyle_None : QTextFrameFormat::BorderStyle_Solid);
    format.setBorderBrush(kRuleColour);
    // No repeated header rows: Qt paints a repeated header over the next page's text when only the
    // table's lower edge crosses the page break.
    format.setHeaderRowCount(0);
    format.setTopMargin(pt(2));
    // No lower margin: the space below a table is the lower margin of the empty block behind it (see
    // styleDocument). Qt lays the text behind a table out from above the table's lower margin but
    // takes the page from below it, so a margin reaching over the page's end let the page break cut
    // the next line in two.
    format.setBottomMargin(0);
    format.setColumnWidthConstraints(contents ? QList<QTextLength>{QTextLength(QTextLength::PercentageLength, 88),
                                                                   QTextLength(QTextLength::PercentageLength, 12)}
                                              : columnWidths(table));
    table->setFormat(format);

    QTextCursor all = table->cellAt(0, 0).firstCursorPosition();
    all.setPosition(table->lastPosition(), QTextCursor::KeepAnchor);
    QTextCharFormat small;
    small.setFontPointSize(contents ? 8.5 : 9);
    all.mergeCharFormat(small);

    for (int column = 0; column < table->columns(); ++column) {
        QTextTableCell cell = table->cellAt(0, column);
        QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
        if (!contents)
            cellFormat.setBackground(kTableHeadColour);
        cell.setFormat(cellFormat);
        QTextCursor head = cell.firstCursorPosition();
        head.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        if (contents)
            bold.setForeground(kHeadingColour);
        head.mergeCharFormat(bold);
    }
}

QList<QTextTable*> tablesOf(QTextFrame* frame)
{
    QList<QTextTable*> tables;
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child))
            tables.append(table);
        tables.append(tablesOf(child));
    }
    return tables;
}

void styleDocument(QTextDocument& doc, bool hasSubtitle)
{
    int index = 0;
    bool afterContents = true;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next(), ++index) {
        QTextBlockFormat format = block.blockFormat();
        const int level = format.headingLevel();
        QTextCursor cursor(block);
        if (index == 0 || (index == 1 && hasSubtitle)) {
            // Title and subtitle.
            format.setTopMargin(pt(index == 0 ? 0 : 4));
            format.setBottomMargin(pt(index == 0 ? 4 : 30));
            cursor.setBlockFormat(format);
            setFragmentsFormat(doc, block, index == 0 ? 26 : 13, index == 0, kHeadingColour);
        } else if (level > 0) {
            static const qreal sizes[] = {17, 13, 11, 10, 10, 10};
            format.setTopMargin(pt(level == 1 ? 0 : level == 2 ? 12 : 8));
            format.setBottomMargin(pt(level == 1 ? 10 : 4));
            if (level == 1)
                format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            cursor.setBlockFormat(format);
            setFragmentsFormat(doc, block, sizes[std::min(level, 6) - 1], true, kHeadingColour);
        } else if (format.hasProperty(QTextFormat::BlockCodeFence)) {
            // A code block: one block a line, on a grey ground, indented by the first line's indent.
            const bool first = !block.previous().blockFormat().hasProperty(QTextFormat::BlockCodeFence);
            const bool last = !block.next().blockFormat().hasProperty(QTextFormat::BlockCodeFence);
            format.setTopMargin(first ? pt(2) : 0);
            format.setBottomMargin(last ? pt(7) : 0);
            format.setTextIndent(pt(6));
            format.setBackground(kCodeColour);
            format.setNonBreakableLines(false); // a long line wraps rather than runs off the page
            cursor.setBlockFormat(format);
            setFragmentsFormat(doc, block, 9, false, Qt::black);
        } else if (block.text().isEmpty() && QTextCursor(block.previous()).currentTable() && !cursor.currentTable()) {
            // The empty block Qt keeps behind every table takes no room but makes the space below
            // the table; the contents, the first table, end their page without one.
            format.setTopMargin(0);
            format.setBottomMargin(std::exchange(afterContents, false) ? 0 : pt(6));
            format.setLineHeight(0, QTextBlockFormat::FixedHeight);
            cursor.setBlockFormat(format);
        } else {
            // Paragraphs, list items and table cells keep only a small space below them; the last
            // item of a list as much as a paragraph.
            const bool listGoesOn = block.textList() && block.next().textList();
            format.setTopMargin(0);
            format.setBottomMargin(cursor.currentTable() ? 0 : pt(listGoesOn ? 2 : 5));
            cursor.setBlockFormat(format);
        }
    }
    const QList<QTextTable*> tables = tablesOf(doc.rootFrame());
    for (qsizetype i = 0; i < tables.size(); ++i)
        styleTable(tables.at(i), i == 0);
}

int pageOf(const QTextDocument& doc, const QTextBlock& block)
{
    const QRectF rect = doc.documentLayout()->blockBoundingRect(block);
    return int(std::floor((rect.top() + 1) / doc.pageSize().height()));
}

// A chapter normally starts a page. When the previous chapter spills only a few lines (often the
// end of a table row) onto a page of their own, the chapter follows them on that page instead of
// leaving it nearly empty.
void avoidNearlyEmptyPages(QTextDocument& doc)
{
    const qreal page = doc.pageSize().height();
    doc.pageCount();
    bool first = true;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (format.headingLevel() != 1)
            continue;
        if (std::exchange(first, false) || !block.previous().isValid())
            continue;
        const qreal end = doc.documentLayout()->blockBoundingRect(block.previous()).bottom();
        const qreal used = end - std::floor((end - 1) / page) * page;
        if (used > 0 && used < page * 0.15) {
            format.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
            format.setTopMargin(pt(24));
            QTextCursor(block).setBlockFormat(format);
            doc.pageCount(); // the pages behind this one move: lay out again before the next chapter
        }
    }
}

// The lines of a block, as their tops and bottoms in the document, over all pages.
std::vector<std::pair<qreal, qreal>> linesOf(const QTextDocument& doc, const QTextBlock& block)
{
    std::vector<std::pair<qreal, qreal>> lines;
    const QTextLayout* layout = block.layout();
    const qreal top = doc.documentLayout()->blockBoundingRect(block).top(); // the layout's origin
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        lines.emplace_back(top + line.y(), top + line.y() + line.height());
    }
    return lines;
}

int pageAt(qreal y, qreal page)
{
    return int(std::floor((y + 0.5) / page));
}

// The first row of a table (other than the contents) that starts on one page and ends on the next
// but would fit on a page, or -1.
int splitRow(const QTextDocument& doc, const QTextTable* table)
{
    const qreal page = doc.pageSize().height();
    for (int row = 0; row < table->rows(); ++row) {
        qreal top = std::numeric_limits<qreal>::max();
        qreal bottom = std::numeric_limits<qreal>::lowest();
        for (int column = 0; column < table->columns(); ++column) {
            const QTextTableCell cell = table->cellAt(row, column);
            if (cell.row() != row || cell.column() != column)
                continue;
            const QTextBlock last = cell.lastCursorPosition().block();
            for (QTextBlock block = cell.firstCursorPosition().block(); block.isValid(); block = block.next()) {
                for (const auto& [lineTop, lineBottom] : linesOf(doc, block)) {
                    top = std::min(top, lineTop);
                    bottom = std::max(bottom, lineBottom);
                }
                if (block == last)
                    break;
            }
        }
        if (top < bottom && pageAt(top, page) != pageAt(bottom - 1, page) && bottom - top < page * 0.8)
            return row;
    }
    return -1;
}

// Moves the rows from 'row' on into a table of their own that starts a page, below a copy of the
// header row.
void splitTable(QTextTable* table, int row)
{
    const int rows = table->rows();
    const int columns = table->columns();
    QTextTableFormat format = table->format();
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QTextDocument* doc = table->document();
    // The empty block behind the table makes the space below it (see styleDocument); the one
    // behind the new table gets its format.
    const QTextBlockFormat spaceBelow = doc->findBlock(table->lastPosition() + 1).blockFormat();
    QTextCursor behind(doc);
    behind.setPosition(table->lastPosition() + 1);
    QTextTable* rest = behind.insertTable(rows - row + 1, columns, format);
    QTextCursor(doc->findBlock(rest->lastPosition() + 1)).setBlockFormat(spaceBelow);
    const auto copyRow = [&](int from, int to) {
        for (int column = 0; column < columns; ++column) {
            const QTextTableCell source = table->cellAt(from, column);
            QTextCursor selection = source.firstCursorPosition();
            selection.setPosition(source.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            QTextTableCell target = rest->cellAt(to, column);
            target.setFormat(source.format());
            QTextCursor cursor = target.firstCursorPosition();
            cursor.setBlockFormat(source.firstCursorPosition().blockFormat());
            cursor.insertFragment(selection.selection());
        }
    };
    copyRow(0, 0);
    for (int from = row; from < rows; ++from)
        copyRow(from, from - row + 1);
    table->removeRows(row, rows - row);
}

// Moves a table to the next page, or the heading right before it, which would be left alone.
// Returns false when that one starts a page already.
bool moveTable(QTextTable* table)
{
    QTextBlock before = table->document()->findBlock(table->firstPosition() - 1);
    while (before.isValid() && before.text().isEmpty() && !QTextCursor(before).currentTable())
        before = before.previous();
    QTextBlockFormat heading = before.blockFormat();
    if (before.isValid() && heading.headingLevel() > 0 && !QTextCursor(before).currentTable()) {
        if (heading.pageBreakPolicy() == QTextFormat::PageBreak_AlwaysBefore)
            return false;
        heading.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(before).setBlockFormat(heading);
        return true;
    }
    QTextTableFormat format = table->format();
    if (format.pageBreakPolicy() == QTextFormat::PageBreak_AlwaysBefore)
        return false;
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    table->setFormat(format);
    return true;
}

// Finds the first place in reading order where the page break falls badly and mends it: a heading
// left at the foot of a page moves to the next one, with the text it introduces; a table row split
// by the page break moves to the next page (the table goes on there below its header row, or moves
// as a whole when not even its first row is left behind). Returns false when nothing is left to
// mend.
bool mendOnePageBreak(QTextDocument& doc, const QTextTable* contents)
{
    const qreal keep = mmToDevice(kKeepWithNext);
    const qreal page = doc.pageSize().height();
    QSet<const QTextTable*> seen;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (QTextTable* table = QTextCursor(block).currentTable()) {
            if (table == contents || seen.contains(table))
                continue;
            seen.insert(table);
            const int row = splitRow(doc, table);
            if (row > 1) {
                splitTable(table, row);
                return true;
            }
            if (row >= 0 && moveTable(table)) // the header row is not left alone
                return true;
            continue;
        }
        QTextBlockFormat format = block.blockFormat();
        if (format.headingLevel() < 2 || format.pageBreakPolicy() == QTextFormat::PageBreak_AlwaysBefore)
            continue;
        const QRectF rect = doc.documentLayout()->blockBoundingRect(block);
        const qreal pageTop = std::floor((rect.top() + 1) / page) * page;
        if (rect.bottom() - pageTop > page - keep) {
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(block).setBlockFormat(format);
            return true;
        }
    }
    return false;
}

void mendPageBreaks(QTextDocument& doc)
{
    const QList<QTextTable*> tables = tablesOf(doc.rootFrame());
    const QTextTable* contents = tables.isEmpty() ? nullptr : tables.first();
    // Every change moves only what lies behind it: look again from a fresh layout.
    for (int pass = 0; pass < 200; ++pass) {
        doc.pageCount(); // lays the whole document out
        if (!mendOnePageBreak(doc, contents))
            return;
    }
    complain(QStringLiteral("the page breaks still need mending after 200 passes"));
}

// A line of text that the page break cuts in two shows up as two halves; the layout should never
// leave one, but if it does the build says so.
void reportCutLines(const QTextDocument& doc)
{
    const qreal page = doc.pageSize().height();
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block.text().isEmpty())
            continue;
        for (const auto& [top, bottom] : linesOf(doc, block))
            if (pageAt(top, page) != pageAt(bottom - 1, page))
                complain(QStringLiteral("page %1 cuts the line \"%2...\"").arg(pageAt(top, page) + 1).arg(block.text().left(40)));
    }
}

void fillContents(QTextDocument& doc)
{
    const QList<QTextTable*> tables = tablesOf(doc.rootFrame());
    if (tables.isEmpty())
        return;
    QTextTable* contents = tables.first();
    doc.pageCount();
    int row = 1;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int level = block.blockFormat().headingLevel();
        if (level < 1 || level > 2 || row >= contents->rows())
            continue;
        const QTextTableCell cell = contents->cellAt(row++, 1);
        QTextCursor cursor = cell.firstCursorPosition();
        cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        cursor.insertText(QString::number(pageOf(doc, block) + 1));
    }
}

bool render(const Manual& manual, const QString& markdown, const QString& output)
{
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly)) {
        complain(QStringLiteral("cannot write %1").arg(output));
        return false;
    }
    QPdfWriter writer(&file);
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginLeftRight, kMarginTopBottom, kMarginLeftRight, kMarginTopBottom),
                                     QPageLayout::Millimeter));
    writer.setTitle(manual.title);
    writer.setCreator(QStringLiteral("manualpdf"));

    const qreal width = writer.width();
    const qreal head = mmToDevice(kHeadZone);
    const qreal foot = mmToDevice(kFootZone);
    // Whole device pixels: the layout places blocks in fixed point, and a fractional page height
    // would put a block that starts a page a hair before the page's top.
    const qreal bodyHeight = std::floor(writer.height() - head - foot);

    QFont body(QStringLiteral("DejaVu Sans"));
    body.setPointSizeF(10);
    QTextDocument doc;
    doc.setDefaultFont(body);
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setDocumentMargin(0);
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    doc.setPageSize(QSizeF(width, bodyHeight));
    styleDocument(doc, !manual.subtitle.isEmpty());
    avoidNearlyEmptyPages(doc);
    mendPageBreaks(doc);
    fillContents(doc);
    reportCutLines(doc);

    QPainter painter;
    if (!painter.begin(&writer)) {
        complain(QStringLiteral("cannot paint %1").arg(output));
        return false;
    }
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPointSizeF(8);
    const int pages = doc.pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        painter.setFont(small);
        painter.setPen(kRuleColour);
        if (page > 0) {
            painter.drawText(QRectF(0, 0, width, head * 0.7), Qt::AlignLeft | Qt::AlignBottom, manual.title);
            painter.drawLine(QPointF(0, head * 0.8), QPointF(width, head * 0.8));
        }
        painter.drawText(QRectF(0, head + bodyHeight + foot * 0.3, width, foot * 0.7), Qt::AlignHCenter | Qt::AlignTop,
                         QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages));
        painter.save();
        painter.translate(0, head - page * bodyHeight);
        // Half a device pixel in from both page breaks: the layout paints every line that touches
        // the clip, and a line starting right at the break belongs to the next page only.
        doc.drawContents(&painter, QRectF(0, page * bodyHeight + 0.5, width, bodyHeight - 1));
        painter.restore();
    }
    if (!painter.end() || !file.commit()) {
        complain(QStringLiteral("cannot write %1").arg(output));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    qtHandler = qInstallMessageHandler(filterQtMessages);
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        complain(QStringLiteral("usage: manualpdf LIST OUTPUT.pdf"));
        return 2;
    }
    const std::optional<Manual> manual = readList(args.at(1));
    if (!manual)
        return 1;

    QString text;
    for (const QString& path : manual->files) {
        QFile source(path);
        if (!source.open(QIODevice::ReadOnly | QIODevice::Text)) {
            complain(QStringLiteral("cannot read %1").arg(path));
            return 1;
        }
        const std::optional<QString> part = selectParts(QString::fromUtf8(source.readAll()), manual->tags, path);
        if (!part)
            return 1;
        text += *part + QStringLiteral("\n\n");
    }
    std::vector<Heading> headings;
    const QString body = numberHeadings(text, headings);
    return render(*manual, frontMatter(*manual, headings) + body, args.at(2)) ? 0 : 1;
}
