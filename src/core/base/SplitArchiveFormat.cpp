#include "core/base/SplitArchiveFormat.h"

namespace SplitArchiveFormats {

const std::vector<SplitArchiveFormat>& all() {
    static const std::vector<SplitArchiveFormat> formats{
        SplitArchiveFormat::sevenZip, SplitArchiveFormat::rarNew, SplitArchiveFormat::rarOld,
        SplitArchiveFormat::zip, SplitArchiveFormat::unsupported};
    return formats;
}

}  // namespace SplitArchiveFormats
