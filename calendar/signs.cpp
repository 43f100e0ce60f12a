#include "signs.h"

namespace calendar {
namespace {

struct StemRow {
  std::string_view sign;
  std::string_view reading;
  Phase phase;
};

// Stems go in pairs, yang then yin, through the phases in generating order.
constexpr StemRow kStems[10] = {
    {"甲", "Цзя", Phase::Wood},  {"乙", "И", Phase::Wood},     {"丙", "Бин", Phase::Fire},
    {"丁", "Дин", Phase::Fire},  {"戊", "У", Phase::Earth},    {"己", "Цзи", Phase::Earth},
    {"庚", "Гэн", Phase::Metal}, {"辛", "Синь", Phase::Metal}, {"壬", "Жэнь", Phase::Water},
    {"癸", "Гуй", Phase::Water},
};

struct BranchRow {
  std::string_view sign;
  std::string_view reading;
  std::string_view animal;
  Phase phase;
};

// Each season's three branches: the middle one holds the season's phase
// at its height, the last one is a month of earth that leads to the next.
constexpr BranchRow kBranches[12] = {
    {"子", "Цзы", "Крыса", Phase::Water},     {"丑", "Чоу", "Бык", Phase::Earth},
    {"寅", "Инь", "Тигр", Phase::Wood},       {"卯", "Мао", "Кролик", Phase::Wood},
    {"辰", "Чэнь", "Дракон", Phase::Earth},   {"巳", "Сы", "Змея", Phase::Fire},
    {"午", "У", "Лошадь", Phase::Fire},       {"未", "Вэй", "Коза", Phase::Earth},
    {"申", "Шэнь", "Обезьяна", Phase::Metal}, {"酉", "Ю", "Петух", Phase::Metal},
    {"戌", "Сюй", "Собака", Phase::Earth},    {"亥", "Хай", "Свинья", Phase::Water},
};

constexpr std::string_view kPhaseNames[6] = {"", "Дерево", "Огонь", "Земля", "Металл", "Вода"};
constexpr std::string_view kPhaseSigns[6] = {"", "木", "火", "土", "金", "水"};

}  // namespace

std::string_view StemSign(int stem) {
  return IsStem(stem) ? kStems[stem - 1].sign : std::string_view();
}
std::string_view StemReading(int stem) {
  return IsStem(stem) ? kStems[stem - 1].reading : std::string_view();
}
std::string_view BranchSign(int branch) {
  return IsBranch(branch) ? kBranches[branch - 1].sign : std::string_view();
}
std::string_view BranchReading(int branch) {
  return IsBranch(branch) ? kBranches[branch - 1].reading : std::string_view();
}
std::string_view BranchAnimal(int branch) {
  return IsBranch(branch) ? kBranches[branch - 1].animal : std::string_view();
}
Phase StemPhase(int stem) {
  return IsStem(stem) ? kStems[stem - 1].phase : Phase::None;
}
Phase BranchPhase(int branch) {
  return IsBranch(branch) ? kBranches[branch - 1].phase : Phase::None;
}
bool StemIsYang(int stem) {
  return IsStem(stem) && stem % 2 == 1;
}
bool BranchIsYang(int branch) {
  return IsBranch(branch) && branch % 2 == 1;
}
std::string_view PhaseName(Phase phase) {
  return kPhaseNames[static_cast<int>(phase)];
}
std::string_view PhaseSign(Phase phase) {
  return kPhaseSigns[static_cast<int>(phase)];
}

}  // namespace calendar
