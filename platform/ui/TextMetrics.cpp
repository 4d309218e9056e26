#include "platform/ui/TextMetrics.h"

#include "platform/ui/Control.h"
#include "platform/ui/QtAccess.h"
#include "platform/ui/QtCanvas.h"

#include <QFontMetrics>
#include <QWidget>

namespace plat {

Size ControlTextExtent(const Control& control, std::string_view text)
{
    const QFontMetrics metrics(ToQFont(control.GetFont(), control.Widget()));
    const QString q = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    return {metrics.horizontalAdvance(q), metrics.height()};
}

} // namespace plat
