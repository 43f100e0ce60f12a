// TFormCoins: the dialog "Три монеты", a cast with three coins.
//
// Each press of "Бросить" throws three coins for the next line, from line 1
// (bottom) up; each throw stays on screen as it fell (О for heads, Р for
// tails), with its value: three heads 9 (old yang, changing), two heads 8
// (young yin), one heads 7 (young yang), three tails 6 (old yin, changing).
// After the sixth throw "Получить гуа" hands the six line codes to the main
// window, which casts them as ">>" does, counted as a cast with coins. The
// dialog is modal: the main window's fields and castings wait meanwhile.
// The coins fall from the source given (the system's random source in the
// program).
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "core/coins.h"

class QLabel;
class QPushButton;

class TFormCoins : public QDialog {
  Q_OBJECT
 public:
  using CastFunction = std::function<void(const std::array<std::string, 6>& codes)>;
  TFormCoins(core::CoinSource coins, CastFunction cast, QWidget* parent = nullptr);

  std::array<QLabel*, 6> LineLabels{};  // line 6 on top, as the figure stands
  QPushButton* ThrowButton = nullptr;   // "Бросить"
  QPushButton* OkButton = nullptr;      // "Получить гуа"
  QPushButton* CancelButton = nullptr;

  void ThrowButtonClick();
  void OkButtonClick();
  const std::vector<core::CoinThrow>& Throws() const { return throws_; }

 private:
  core::CoinSource coins_;
  CastFunction cast_;
  std::vector<core::CoinThrow> throws_;
};
