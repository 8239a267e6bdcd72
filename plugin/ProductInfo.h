#pragma once

#include "ZelVersion.h"

// Who we are, in one place: every part that shows or sends these reads them here.
namespace vo::plugins::zel::product
{

inline constexpr const char* kName = "ZEL";
inline constexpr int kStateVersion = 1;
inline constexpr const char* kVendor = "velmora";
inline constexpr const char* kWebsite = "https://velmora.audio";
// The host name behind kWebsite: the update service only trusts addresses on it.
inline constexpr const char* kSiteName = "velmora.audio";
inline constexpr const char* kByline = "by velmora";
inline constexpr const char* kSupportEmail = "support@velmora.audio";

} // namespace vo::plugins::zel::product
