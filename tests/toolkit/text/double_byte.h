// Rows that spell out double-byte ANSI forms assume the simplified Chinese
// code page the library serves by default; a run under another code page
// skips them rather than changing the process's settings.
#pragma once

#include "base/ansi.h"

namespace kavrolin::toolkit::text::testing {

inline bool SystemCodePageIsChinese() { return AnsiCodec::System().code_page() == 936; }

#define KAVROLIN_SKIP_UNLESS_CHINESE_CODE_PAGE(needs)                                   \
  do {                                                                                  \
    if ((needs) && !::kavrolin::toolkit::text::testing::SystemCodePageIsChinese()) {    \
      GTEST_SKIP() << "needs the default code page 936";                                \
    }                                                                                   \
  } while (false)

}  // namespace kavrolin::toolkit::text::testing
