#include "Format.h"

namespace QXlsx {

Format::Format() = default;

} // namespace QXlsx
