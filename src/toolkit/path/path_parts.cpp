#include "toolkit/path/path_parts.h"

#include "toolkit/integer_positions.h"

namespace kavrolin::toolkit::path {
namespace {

// Position (counted from 1) of the last unit that is one of `separators`; 0
// when there is none.
size_t LastOf(TextView text, TextView separators) {
  RequireIntegerPositions(text);
  size_t p = text.size();
  while (p > 0 && separators.find(text[p - 1]) == TextView::npos) --p;
  return p;
}

}  // namespace

Text ParsePath(TextView sPathIn) { return Text(sPathIn.substr(0, LastOf(sPathIn, u":\\"))); }

Text GetPath(TextView sPathIn) { return ParsePath(sPathIn); }

Text ParseFileName(TextView sFileIn) { return Text(sFileIn.substr(LastOf(sFileIn, u"\\"))); }

Text GetFileExt(TextView sFilename) { return Text(sFilename.substr(LastOf(sFilename, u"."))); }

}  // namespace kavrolin::toolkit::path
