// The Russian name of a hexagram by its King Wen number.
#pragma once

#include <QString>

namespace records {

// "Творчество" for 1 .. "Ещё не конец" for 64; empty outside 1..64.
QString HexagramName(int number);

}  // namespace records
