#include "core/engine/ArchivePrograms.h"

#include "core/engine/ArchiveTools.h"

ArchivePrograms ArchivePrograms::installed() {
    return {ArchiveTools::SevenZip::locate, ArchiveTools::Rar::locate, ArchiveTools::Zip::locate,
            ArchiveTools::Unzip::locate, ArchiveTools::Tar::locate};
}

std::optional<SevenZipTool> ArchivePrograms::sevenZipTool() const {
    if (std::optional<QString> program = sevenZip()) return SevenZipTool(*program);
    return std::nullopt;
}

std::optional<UnrarTool> ArchivePrograms::unrarTool() const {
    if (std::optional<QString> program = unrar()) return UnrarTool(*program);
    return std::nullopt;
}

std::optional<InfoZipTool> ArchivePrograms::infoZipTool() const {
    std::optional<QString> zipProgram = zip();
    std::optional<QString> unzipProgram = unzip();
    if (zipProgram && unzipProgram) return InfoZipTool(*zipProgram, *unzipProgram);
    return std::nullopt;
}

std::optional<TarTool> ArchivePrograms::tarTool() const {
    if (std::optional<QString> program = tar())
        return TarTool(*program, sevenZip ? sevenZip() : std::nullopt);
    return std::nullopt;
}

namespace {

template <typename Tool>
std::unique_ptr<ArchiveDriver> held(std::optional<Tool> tool) {
    if (!tool) return nullptr;
    return std::make_unique<Tool>(std::move(*tool));
}

}  // namespace

std::unique_ptr<ArchiveDriver> ArchivePrograms::driver(ToolProgram program) const {
    switch (program) {
        case ToolProgram::sevenZip:
            return held(sevenZipTool());
        case ToolProgram::unrar:
            return held(unrarTool());
        case ToolProgram::infoZip:
            return held(infoZipTool());
        case ToolProgram::tar:
            return held(tarTool());
        case ToolProgram::zipReader:
            break;
    }
    return nullptr;
}
