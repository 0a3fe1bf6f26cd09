// Statuses this component returns beyond the common ones of tarvel/com.h.
#pragma once

#include <tarvel/com.h>

namespace tarvel::component {

// The caller's buffer is smaller than the value; the needed size was reported.
inline constexpr HRESULT kInsufficientBuffer = static_cast<HRESULT>(0x8007007Au);

}  // namespace tarvel::component
