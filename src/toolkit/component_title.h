// The component's title: the caption of every message box the toolkit shows.
#pragma once

namespace kavrolin::toolkit {

inline constexpr char16_t kComponentTitle[] = u"Kavrolin";

}  // namespace kavrolin::toolkit
