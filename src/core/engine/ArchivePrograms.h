#pragma once

#include "core/engine/InfoZipTool.h"
#include "core/engine/SevenZipTool.h"
#include "core/engine/TarTool.h"
#include "core/engine/UnrarTool.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

// Where each archive program is found: the one place the engine and the content service get their
// back-ends from, and the one thing tests replace. installed() looks a program up each time it is
// asked, so a tool installed while velmora runs is found.
struct ArchivePrograms {
    using Locator = std::function<std::optional<QString>()>;

    Locator sevenZip;
    Locator unrar;
    Locator zip;
    Locator unzip;
    Locator tar;

    // The copies shipped with velmora first, then the system's (ArchiveTools).
    static ArchivePrograms installed();

    std::optional<SevenZipTool> sevenZipTool() const;
    std::optional<UnrarTool> unrarTool() const;
    // Present when both zip and unzip are.
    std::optional<InfoZipTool> infoZipTool() const;
    std::optional<TarTool> tarTool() const;
    // The driver of the program, when it is installed; none for velmora's own ZIP reader.
    std::unique_ptr<ArchiveDriver> driver(ToolProgram program) const;
};
