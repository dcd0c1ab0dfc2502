// The program's icon, drawn rather than shipped: a bell curve over a scale.
#pragma once

#include <QIcon>

namespace pelmora {

QIcon ProgramIcon();

}  // namespace pelmora
