#include "update/line_status.h"

namespace brimvex::update {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFF, kGrey = 0xFF666666, kBlue = 0xFF0099FF, kDarkBlue = 0xFF0078C8;

constexpr LineLook kLines[] = {
    {"LessUpdateText", false, false, false, kWhite, kWhite, kGrey},
    {"NeedUpdateText", false, false, true, kBlue, kBlue, kDarkBlue},
    {"NeedUpdateText", false, false, true, kBlue, kBlue, kDarkBlue},
    {"DownloadWaitText", false, false, false, kBlue, kBlue, kDarkBlue},
    {"DownloadIngText", true, false, false, kBlue, kBlue, kDarkBlue},
    {"DownloadOkText", false, true, false, kBlue, kBlue, kDarkBlue},
    {"UpdateIngText", true, false, false, kBlue, kBlue, kDarkBlue},
    {"UpdateOkText", false, false, false, kWhite, kWhite, kGrey},
    {"UpdateFailText", false, false, true, kBlue, kBlue, kDarkBlue},
};

constexpr StateLook kStates[] = {
    {true, false, "GetUpdateInfoText"},  {false, true, "HaveUpdateInfoText"}, {false, true, "NoUpdateInfoText"},
    {false, true, "ISUpdateINGText"},    {false, true, "UpdateIsLastText"},
};

}  // namespace

const LineLook& LookOfLine(int status) { return kLines[status >= 0 && status <= 8 ? status : 0]; }

const StateLook& LookOfState(int state) { return kStates[state >= 0 && state <= 4 ? state : 0]; }

}  // namespace brimvex::update
