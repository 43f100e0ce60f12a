// TGuaBig: one hexagram figure, six bars drawn in fixed pixel bands.
//
// 50 x 88 pixels, line 1 at the bottom (band y 80..88) up to line 6 at the
// top (band 0..8); yang is one bar x 0..50, yin two bars x 0..20 and
// 30..50. Every bar is filled with GuaColor and outlined (1 pixel) with
// PenColor, the changing line JaoNo with JaoColor. Nothing is scaled or
// antialiased and the background is not painted: the parent shows through.
// The control takes no focus and lets mouse input through to its parent.
// A window may make it focusable: it then shows its focus by a dashed frame
// and reports Enter or Return as activated(). With marks shown, each
// changing line also carries the classical mark, drawn in the background
// colour: a circle on a yang bar, a cross in the gap of a yin line, so that
// the changing lines do not depend on colour alone.
//
// Writing a line recomputes NoGua (King Wen number) at once; writing NoGua
// stores it as given; a JaoNo above 6 is stored as 0.
#pragma once

#include <QColor>
#include <QWidget>
#include <vector>

#include "core/hexagram.h"

class TGuaBig : public QWidget {
  Q_OBJECT
  Q_PROPERTY(bool Gua1 READ Gua1 WRITE setGua1)
  Q_PROPERTY(bool Gua2 READ Gua2 WRITE setGua2)
  Q_PROPERTY(bool Gua3 READ Gua3 WRITE setGua3)
  Q_PROPERTY(bool Gua4 READ Gua4 WRITE setGua4)
  Q_PROPERTY(bool Gua5 READ Gua5 WRITE setGua5)
  Q_PROPERTY(bool Gua6 READ Gua6 WRITE setGua6)
  Q_PROPERTY(QColor GuaColor READ GuaColor WRITE setGuaColor)
  Q_PROPERTY(QColor JaoColor READ JaoColor WRITE setJaoColor)
  Q_PROPERTY(int JaoNo READ JaoNo WRITE setJaoNo)
  Q_PROPERTY(QColor PenColor READ PenColor WRITE setPenColor)
  Q_PROPERTY(int NoGua READ NoGua WRITE setNoGua)

 public:
  static constexpr int FigureWidth = 50;
  static constexpr int FigureHeight = 88;

  explicit TGuaBig(QWidget* parent = nullptr);

  bool Gua1() const { return lines_[0]; }
  bool Gua2() const { return lines_[1]; }
  bool Gua3() const { return lines_[2]; }
  bool Gua4() const { return lines_[3]; }
  bool Gua5() const { return lines_[4]; }
  bool Gua6() const { return lines_[5]; }
  void setGua1(bool v) { setLine(1, v); }
  void setGua2(bool v) { setLine(2, v); }
  void setGua3(bool v) { setLine(3, v); }
  void setGua4(bool v) { setLine(4, v); }
  void setGua5(bool v) { setLine(5, v); }
  void setGua6(bool v) { setLine(6, v); }

  // Line n = 1 (bottom) .. 6 (top); other n are ignored / read as yang.
  bool line(int n) const;
  void setLine(int n, bool yang);
  core::Figure lines() const { return lines_; }
  void setLines(const core::Figure& lines);  // writes lines 1..6 in order

  QColor GuaColor() const { return guaColor_; }
  QColor JaoColor() const { return jaoColor_; }
  QColor PenColor() const { return penColor_; }
  void setGuaColor(const QColor& c);
  void setJaoColor(const QColor& c);
  void setPenColor(const QColor& c);

  int JaoNo() const { return jaoNo_; }
  void setJaoNo(int n);
  int NoGua() const { return noGua_; }
  void setNoGua(int n);

  void CalcNoGua();
  void UpdateGua();

  // Lines 1..6 that change besides JaoNo (marked only while marks are shown).
  const std::vector<int>& changingLines() const { return changing_; }
  void setChangingLines(const std::vector<int>& lines);
  bool marksShown() const { return marksShown_; }
  void setMarksShown(bool shown);

  // The band of line n (1..6): y from 80 - 16 * (n - 1), 8 pixels high.
  static int BandTop(int n) { return 80 - 16 * (n - 1); }

 signals:
  void activated();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  core::Figure lines_{true, true, true, true, true, true};
  QColor guaColor_ = Qt::black;
  QColor jaoColor_ = Qt::red;
  QColor penColor_ = Qt::black;
  int jaoNo_ = 0;
  int noGua_ = 1;
  std::vector<int> changing_;
  bool marksShown_ = false;
};
