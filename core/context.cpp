#include "core/context.h"

namespace core {

std::string_view MethodKey(CastMethod method) {
  switch (method) {
    case CastMethod::Codes:
      return "codes";
    case CastMethod::Yarrow:
      return "yarrow";
    case CastMethod::Date:
      return "date";
    case CastMethod::None:
      break;
  }
  return {};
}

CastMethod MethodOfKey(std::string_view key) {
  for (CastMethod m : {CastMethod::Codes, CastMethod::Yarrow, CastMethod::Date})
    if (key == MethodKey(m)) return m;
  return CastMethod::None;
}

}  // namespace core
