#include "ui/SplitSheetSpec.h"

SheetSpecParts SplitSheetSpec(std::string_view spec)
{
    SheetSpecParts parts;
    std::string_view head = spec;
    const size_t comma = spec.find(',');
    if (comma != std::string_view::npos) {
        head = spec.substr(0, comma);
        parts.Code = std::string(spec.substr(comma + 1));
    }
    const size_t open = head.find('[');
    const size_t close = open == std::string_view::npos ? open : head.find(']', open + 1);
    if (close != std::string_view::npos) {
        parts.Class = std::string(head.substr(open + 1, close - open - 1));
        parts.Key = std::string(head.substr(close + 1));
    } else {
        parts.Key = std::string(head);
    }
    return parts;
}
