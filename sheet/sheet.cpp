// The divination sheet: layout in millimetres on any painter, and the PDF.
#include "sheet/sheet.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "calendar/double_hours.h"
#include "calendar/signs.h"
#include "core/hexnames.h"
#include "core/reading.h"

namespace ui {

QPageLayout SheetPageLayout() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, SheetMargins, QPageLayout::Millimeter);
}

namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

const QColor Ink(0x1d, 0x1d, 0x1d);
const QColor Grey(0x77, 0x77, 0x77);
const QColor Red(0xb0, 0x10, 0x10);
const QColor Rule(0xc8, 0xc0, 0xa8);

// A figure's line and the gap under it, in millimetres; the rows of the line
// codes beside the figures keep the same step.
constexpr double LineMm = 3.4, GapMm = 2.4;

// "Лунная дата: год Цзы (Крыса), месяц 5, день 12, час У (11:00–13:00)" of
// the four date lists (item indexes, -1 for a list without selection); the
// double hour in clock time under the time correction, as the "Час" list
// gives it.
QString LunarDateText(const core::DateSelection& d, const calendar::TimeSettings& settings) {
  auto number = [](int index) { return index >= 0 ? QString::number(index + 1) : QStringLiteral("—"); };
  QString year = QStringLiteral("—"), hour = QStringLiteral("—");
  if (d.year >= 0 && d.year < 12)
    year = QStringLiteral("%1 (%2)").arg(Q(calendar::BranchReading(d.year + 1)),
                                         Q(calendar::BranchAnimal(d.year + 1)));
  if (d.hour >= 0 && d.hour < 12) hour = Q(calendar::DoubleHourText(d.hour, settings));
  return QStringLiteral("Лунная дата: год %1, месяц %2, день %3, час %4")
      .arg(year, number(d.month), number(d.day), hour);
}

// One painter, one page area, a pen position that moves down the page and
// on to the next page when the text runs out of room.
class SheetPainter {
 public:
  SheetPainter(QPainter& p, const QRectF& area, const SheetFooter& footer,
               const std::function<void()>& newPage)
      : p_(p), area_(area), footer_(footer), newPage_(newPage) {
    const QPaintDevice* device = p.device();
    dpi_ = device ? device->logicalDpiY() : 96;
    y_ = area_.top();
    page_ = 1;
  }

  double mm(double v) const { return v * dpi_ / 25.4; }
  double y() const { return y_; }
  void down(double millimetres) { y_ += mm(millimetres); }
  void MoveTo(double y) { y_ = y; }
  int page() const { return page_; }
  QPainter& painter() { return p_; }
  const QRectF& area() const { return area_; }

  QFont Font(double points, bool bold = false, bool italic = false) const {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
  }

  // The classical texts: a font with the traditional characters first, the
  // sheet's own font for anything it lacks.
  QFont ChineseFont(double points) const {
    QFont f;
    f.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK TC"),
                   QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK TC"),
                   QStringLiteral("AR PL UMing TW"), QStringLiteral("DejaVu Sans")});
    f.setPointSizeF(points);
    return f;
  }

  // Bottom of the room for text above the footer.
  double Bottom() const { return area_.bottom() - mm(12); }

  // The lines of a paragraph wrapped to the area's width less the indent
  // (a word longer than the line is broken).
  void LayOut(QTextLayout& layout, double indentMm) const {
    const double width = area_.width() - mm(indentMm);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    double height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLineWidth(width);
      line.setPosition(QPointF(0, height));
      height += line.height();
    }
    layout.endLayout();
  }

  // The height of a paragraph as Paragraph would paint it, all of it and of
  // its first line.
  struct Height {
    double all = 0, firstLine = 0;
  };
  Height Measure(const QString& text, const QFont& font, double indentMm = 0) const {
    QTextLayout layout(text, font, p_.device());
    LayOut(layout, indentMm);
    Height h;
    for (int i = 0; i < layout.lineCount(); ++i) h.all += layout.lineAt(i).height();
    if (layout.lineCount() > 0) h.firstLine = layout.lineAt(0).height();
    return h;
  }

  // Text wrapped to the area's width from the pen position; lines that do
  // not fit go on to the next page.
  void Paragraph(const QString& text, const QFont& font, const QColor& colour, double indentMm = 0) {
    const double left = area_.left() + mm(indentMm);
    QTextLayout layout(text, font, p_.device());
    LayOut(layout, indentMm);
    p_.setPen(colour);
    for (int i = 0; i < layout.lineCount(); ++i) {
      const QTextLine line = layout.lineAt(i);
      if (y_ + line.height() > Bottom()) NextPage();
      line.draw(&p_, QPointF(left, y_ - line.y()));
      y_ += line.height();
    }
  }

  // Keeps `millimetres` together on one page.
  void NeedRoom(double millimetres) {
    if (y_ + mm(millimetres) > Bottom()) NextPage();
  }
  // Keeps `height` device pixels together on one page when they fit on
  // one: what is taller than a page starts where the pen is.
  void KeepTogether(double height) {
    if (y_ + height > Bottom() && y_ > area_.top() && area_.top() + height <= Bottom()) NextPage();
  }

  void Footer() {
    const double top = area_.bottom() - mm(7);
    p_.setPen(QPen(Rule, 0));
    p_.drawLine(QPointF(area_.left(), top), QPointF(area_.right(), top));
    p_.setFont(Font(8));
    p_.setPen(Grey);
    const QRectF box(area_.left(), top + mm(1.5), area_.width(), mm(5));
    const QString file =
        footer_.fileName.isEmpty() ? QStringLiteral("Запись не сохранена") : footer_.fileName;
    p_.drawText(
        box, Qt::AlignLeft | Qt::AlignTop,
        QFontMetricsF(p_.font(), p_.device()).elidedText(file, Qt::ElideMiddle, area_.width() * 0.55));
    p_.drawText(box, Qt::AlignRight | Qt::AlignTop,
                QStringLiteral("Напечатано %1 · стр. %2")
                    .arg(footer_.printedAt.toString(QStringLiteral("dd.MM.yyyy HH:mm")))
                    .arg(page_));
  }

  void NextPage() {
    Footer();
    if (newPage_) newPage_();
    ++page_;
    y_ = area_.top();
  }

 private:
  QPainter& p_;
  QRectF area_;
  const SheetFooter& footer_;
  const std::function<void()>& newPage_;
  double dpi_ = 96;
  double y_ = 0;
  int page_ = 1;
};

// One figure: six lines, line 6 on top, in whole device pixels so that the
// edges are sharp at any resolution. Changing lines of the primary figure
// get the traditional mark beside them: a circle for a yang line, a cross
// for a yin line.
QRectF PaintFigure(SheetPainter& s, double left, double top, const core::Figure& lines,
                   const std::vector<int>& changing) {
  QPainter& p = s.painter();
  const int width = qRound(s.mm(30)), thick = qRound(s.mm(LineMm)), gap = qRound(s.mm(GapMm));
  const int hole = qRound(s.mm(4.6));
  const int x = qRound(left), y0 = qRound(top);
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  for (int n = 6; n >= 1; --n) {
    const int y = y0 + (6 - n) * (thick + gap);
    if (lines[static_cast<std::size_t>(n - 1)]) {
      p.fillRect(QRect(x, y, width, thick), Ink);
    } else {
      const int half = (width - hole) / 2;
      p.fillRect(QRect(x, y, half, thick), Ink);
      p.fillRect(QRect(x + width - half, y, half, thick), Ink);
    }
    if (std::find(changing.begin(), changing.end(), n) != changing.end()) {
      p.setRenderHint(QPainter::Antialiasing, true);
      p.setPen(QPen(Red, s.mm(0.5)));
      p.setBrush(Qt::NoBrush);
      const QRectF mark(x + width + s.mm(2), y + thick / 2.0 - s.mm(1.6), s.mm(3.2), s.mm(3.2));
      if (lines[static_cast<std::size_t>(n - 1)]) {
        p.drawEllipse(mark);
      } else {
        p.drawLine(mark.topLeft(), mark.bottomRight());
        p.drawLine(mark.topRight(), mark.bottomLeft());
      }
      p.setRenderHint(QPainter::Antialiasing, false);
    }
  }
  p.restore();
  return QRectF(x, y0, width, 6 * thick + 5 * gap);
}

}  // namespace

SheetLayout PaintSheet(QPainter& painter, const QRectF& area, const core::Divination& divination,
                       const SheetFooter& footer, const std::function<void()>& newPage) {
  const std::optional<core::Numbers> numbers = divination.numbers();
  if (!numbers) throw std::runtime_error(EmptySheetText);

  SheetLayout layout;
  SheetPainter s(painter, area, footer, newPage);
  painter.save();

  // Head: the program's name, then the note in large type.
  painter.setFont(s.Font(9));
  painter.setPen(Grey);
  painter.drawText(QRectF(area.left(), s.y(), area.width(), s.mm(5)), Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("KALYNTH · лист гадания"));
  s.down(7);
  const QString note = QString::fromStdString(divination.note()).trimmed();
  if (note.isEmpty())
    s.Paragraph(QStringLiteral("Без заметки"), s.Font(15, false, true), Grey);
  else
    s.Paragraph(note, s.Font(15, true), Ink);
  s.down(3);
  painter.setPen(QPen(Rule, 0));
  painter.drawLine(QPointF(area.left(), s.y()), QPointF(area.right(), s.y()));
  s.down(6);

  // Left column: the six line codes, line 6 on top as in the figures (a
  // casting from the date has none, whatever the fields still hold).
  const double top = s.y();
  const std::vector<int> changing = divination.ChangingLines();
  if (divination.ShowsLineCodes()) {
    painter.setFont(s.Font(8));
    painter.setPen(Grey);
    painter.drawText(QPointF(area.left(), top), QStringLiteral("Числа черт"));
    const double rowStep = s.mm(LineMm + GapMm);
    for (int n = 6; n >= 1; --n) {
      const double rowTop = top + s.mm(2) + (6 - n) * rowStep;
      const bool moving = divination.IsChangingLine(n);
      painter.setFont(s.Font(10, moving));
      painter.setPen(Grey);
      painter.drawText(QRectF(area.left(), rowTop, s.mm(5), rowStep), Qt::AlignLeft | Qt::AlignVCenter,
                       QString::number(n));
      painter.setPen(moving ? Red : Ink);
      const QString code = QString::fromStdString(divination.lineCode(n));
      painter.drawText(QRectF(area.left() + s.mm(5), rowTop, s.mm(30), rowStep),
                       Qt::AlignLeft | Qt::AlignVCenter,
                       code.isEmpty() ? QStringLiteral("—")
                       : moving       ? code + QStringLiteral("  меняется")
                                      : code);
    }
  }

  // The three figures, left to right, with their numbers and names.
  static const char* const roles[3] = {"Основная", "Внутренняя", "Производная"};
  const int numberOf[3] = {numbers->primary, numbers->nuclear, numbers->changed};
  const double columnLeft = area.left() + s.mm(42);
  const double columnWidth = (area.right() - columnLeft) / 3;
  double figuresBottom = top;
  for (int i = 0; i < 3; ++i) {
    const core::FigureIndex figure = static_cast<core::FigureIndex>(i);
    if (!divination.HasFigure(figure)) continue;
    const double left = columnLeft + i * columnWidth;
    const QRectF r = PaintFigure(s, left, top + s.mm(2), divination.figure(figure),
                                 i == 0 ? changing : std::vector<int>{});
    layout.figures[static_cast<std::size_t>(i)] = r;
    const core::HexagramName& name = core::NameOfHexagram(numberOf[i]);
    double y = r.bottom() + s.mm(3);
    painter.setPen(Grey);
    painter.setFont(s.Font(8));
    painter.drawText(QRectF(left, y, columnWidth - s.mm(2), s.mm(4)), Qt::AlignLeft | Qt::AlignTop,
                     QString::fromUtf8(roles[i]));
    y += s.mm(4);
    painter.setPen(Ink);
    painter.setFont(s.Font(12, true));
    painter.drawText(QRectF(left, y, columnWidth - s.mm(2), s.mm(6)), Qt::AlignLeft | Qt::AlignTop,
                     QStringLiteral("%1. %2").arg(numberOf[i]).arg(Q(name.transliteration)));
    y += s.mm(6);
    painter.setFont(s.Font(10));
    const QRectF nameBox(left, y, columnWidth - s.mm(2), s.mm(10));
    painter.drawText(nameBox, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, Q(name.name));
    figuresBottom = std::max(figuresBottom, y + s.mm(10));
  }
  s.MoveTo(figuresBottom);
  s.down(4);

  // What changes.
  QStringList lineNames;
  for (const std::string& name : divination.ChangingLineNames()) lineNames << QString::fromStdString(name);
  s.Paragraph(lineNames.isEmpty()
                  ? QStringLiteral("Меняющихся черт нет.")
                  : QStringLiteral("Меняющиеся черты: %1.").arg(lineNames.join(QStringLiteral(", "))),
              s.Font(10), Ink);

  // The date of a casting from the date, its double hour in the clock
  // time of the cast (the settings it was cast with, when the record keeps
  // them).
  const std::optional<core::CastContext>& context = divination.context();
  if (divination.fromDate()) {
    const calendar::TimeSettings settings =
        context ? calendar::TimeSettings{context->correctionHours, context->zoneHours} : footer.timeSettings;
    s.down(2);
    s.Paragraph(QString::fromStdString(divination.CastDateText()), s.Font(10, true), Ink);
    s.Paragraph(LunarDateText(divination.date(), settings), s.Font(10), Ink);
  }
  // The moment of the cast and its calendar, as the record keeps them.
  s.down(2);
  s.Paragraph(
      QString::fromStdString(context ? core::ContextText(*context) : std::string(core::UnknownMomentText)),
      s.Font(9), Ink);

  // The reading by Zhu Xi's rule, as kalynth-calc reading gives it: the
  // rule's sentence, then every selected text under its heading, our
  // wording and the classical text beneath. A heading never stands alone
  // at the foot of a page: it goes on with its texts, and the rule's
  // sentence with the first of them.
  const core::ReadingTexts reading = core::TextsOfReading(divination.figure(core::Primary), changing);
  const QFont ruleFont = s.Font(10, false, true), headingFont = s.Font(10, true), textFont = s.Font(10),
              zhFont = s.ChineseFont(11);
  constexpr double RuleGapMm = 3, HeadingGapMm = 1, TextGapMm = 0.8;
  auto headingOf = [](const core::ReadingText& t) {
    return Q(core::HexagramHeading(t.hexagram)) + QStringLiteral(" — ") + Q(t.heading) +
           (t.leading ? QStringLiteral(" (главная)") : QString());
  };
  auto heightOf = [&](const core::ReadingText& t) {
    return s.Measure(headingOf(t), headingFont).all + s.mm(HeadingGapMm) +
           s.Measure(Q(t.text), textFont).all + (t.text.empty() ? 0 : s.mm(TextGapMm)) +
           s.Measure(Q(t.zh), zhFont).all;
  };
  s.down(4);
  const QString rule = Q(reading.rule);
  s.KeepTogether(s.Measure(rule, ruleFont).all +
                 (reading.selected.empty() ? 0 : s.mm(RuleGapMm) + heightOf(reading.selected.front())));
  layout.rulePage = s.page();
  s.Paragraph(rule, ruleFont, Ink);
  for (const core::ReadingText& t : reading.selected) {
    s.down(RuleGapMm);
    s.KeepTogether(heightOf(t));
    SheetLayout::ReadingBlock block;
    block.headingPage = s.page();
    const double top = s.y();
    s.Paragraph(headingOf(t), headingFont, Ink);
    s.down(HeadingGapMm);
    if (!t.text.empty()) {
      s.Paragraph(Q(t.text), textFont, Ink);
      s.down(TextGapMm);
    }
    if (!t.zh.empty()) s.Paragraph(Q(t.zh), zhFont, Ink);
    block.endPage = s.page();
    const double from = block.endPage == block.headingPage ? top : area.top();
    block.rect = QRectF(QPointF(area.left(), from), QPointF(area.right(), s.y()));
    layout.reading.push_back(block);
  }

  // The comments, wrapped (a word longer than the line is broken), up to
  // SheetCommentsLength characters and SheetCommentsPages pages; a line at
  // the end says how much was left out. The sheet of any record is thus a
  // few pages, made in a moment.
  const std::string& comments = divination.commentsText();
  const bool any = std::any_of(comments.begin(), comments.end(),
                               [](char c) { return c != '\n' && c != ' ' && c != '\t' && c != '\r'; });
  if (any) {
    s.down(5);
    s.NeedRoom(14);
    s.Paragraph(QStringLiteral("Комментарии"), s.Font(11, true), Ink);
    s.down(1.5);
    const int firstPage = s.page();
    const std::string_view all(comments);
    qsizetype printed = 0;  // characters
    std::size_t at = 0;     // where the comments not yet printed begin
    while (at <= all.size()) {
      if (printed >= SheetCommentsLength || s.page() - firstPage >= SheetCommentsPages) break;
      std::size_t end = all.find('\n', at);
      if (end == std::string_view::npos) end = all.size();
      std::string_view line = all.substr(at, end - at);
      if (line.empty()) {
        s.NeedRoom(2.5);  // empty lines run on to the next page as well
        s.down(2.5);
      } else {
        // A line longer than what is left of the budget is cut at a character.
        const qsizetype room = SheetCommentsLength - printed;
        std::size_t take = std::min<std::size_t>(line.size(), std::size_t(room) * 4);
        while (take < line.size() && take > 0 && (static_cast<unsigned char>(line[take]) & 0xc0) == 0x80)
          --take;
        QString text = QString::fromUtf8(line.data(), qsizetype(take));
        bool cut = take < line.size();
        if (text.size() > room) {
          text.truncate(text[room - 1].isHighSurrogate() ? room - 1 : room);
          cut = true;
        }
        s.Paragraph(text, s.Font(10), Ink);
        printed += text.size();
        if (cut) {
          at += std::size_t(text.toUtf8().size());
          break;
        }
      }
      at = end + 1;
    }
    if (at < all.size()) {
      const std::string_view rest = all.substr(at);
      const qsizetype characters = std::count_if(rest.begin(), rest.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xc0) != 0x80 && c != '\n';
      });
      const qsizetype lines = std::count(rest.begin(), rest.end(), '\n') + 1;
      s.down(2);
      s.Paragraph(QStringLiteral("Комментарии напечатаны не полностью: не вошло знаков — %1, строк — %2. "
                                 "Полный текст — в записи.")
                      .arg(characters)
                      .arg(lines),
                  s.Font(9, false, true), Grey);
    }
  }

  s.Footer();
  layout.pages = s.page();
  painter.restore();
  return layout;
}

QString RecordOutputText(const QString& path) {
  return QStringLiteral(
             "%1 — файл записи KALYNTH. Лист в PDF не записывается поверх записи: выберите имя файла с "
             "расширением .pdf.")
      .arg(path);
}

QString SameAsRecordText(const QString& path) {
  return QStringLiteral(
             "%1 — это сам файл записи, из которой делается лист (под другим именем или по ссылке). Лист в "
             "PDF не записывается поверх записи: выберите другой файл.")
      .arg(path);
}

std::unique_ptr<records::ReplacingFile> OpenSheetFile(const QString& path,
                                                      const records::FileIdentity& record) {
  if (records::HasRecordFileExtension(path)) throw std::runtime_error(RecordOutputText(path).toStdString());
  auto file = std::make_unique<records::ReplacingFile>(path, records::ReplacingFile::Options{{}, record});
  switch (file->status()) {
    case records::ReplacingFile::Status::Open:
      return file;
    case records::ReplacingFile::Status::ForeignLink:
      throw std::runtime_error(records::ForeignLinkText(file->foreignLink()).toStdString());
    case records::ReplacingFile::Status::Forbidden:
      throw std::runtime_error(SameAsRecordText(path).toStdString());
    default:
      throw std::runtime_error(records::CannotCreateFileText(path).toStdString());
  }
}

bool SheetFileComplete(const records::ReplacingFile& file) {
  struct stat st {};
  if (::fstat(file.fd(), &st) != 0) return false;
  struct rlimit limit {};
  return ::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
         rlim_t(st.st_size) < limit.rlim_cur;
}

int ExportSheetPdf(const core::Divination& divination, const SheetFooter& footer, const QString& path,
                   const records::FileIdentity& record) {
  if (!divination.numbers()) throw std::runtime_error(EmptySheetText);
  // The PDF goes to a new file beside its place and takes the name only
  // when complete; until then nothing of it is seen at the path, and a
  // failure leaves nothing behind.
  const std::unique_ptr<records::ReplacingFile> out = OpenSheetFile(path, record);
  const QString failure = records::CannotCreateFileText(path);
  QFile file;
  // Unbuffered: every write reaches the descriptor, so a full disk or the
  // file-size limit is seen as the file's error.
  if (!file.open(out->fd(), QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
    throw std::runtime_error(failure.toStdString());
  int pages = 0;
  {
    QPdfWriter writer(&file);
    writer.setCreator(QStringLiteral("KALYNTH"));
    writer.setTitle(QString::fromStdString(divination.note()));
    writer.setResolution(600);
    writer.setPageLayout(SheetPageLayout());
    QPainter painter;
    if (!painter.begin(&writer)) throw std::runtime_error(failure.toStdString());
    try {
      pages =
          PaintSheet(painter, QRectF(0, 0, writer.width(), writer.height()), divination, footer, [&writer] {
            writer.newPage();
          }).pages;
    } catch (...) {
      painter.end();
      throw;
    }
    painter.end();
  }
  const bool written = file.error() == QFileDevice::NoError && SheetFileComplete(*out);
  file.close();
  if (!written || !out->commit()) throw std::runtime_error(failure.toStdString());
  return pages;
}

}  // namespace ui
