#include "support/FakePrograms.h"

#include <stdexcept>

FakePrograms::FakePrograms() = default;

FakeTool FakePrograms::addTool(const QString& name, const QString& body) {
    FakeTool tool(m_tree.root(), name, body);
    locator(name) = [path = tool.path()] { return std::optional<QString>(path); };
    return tool;
}

void FakePrograms::remove(const QString& name) {
    locator(name) = [] { return std::optional<QString>(); };
}

ArchivePrograms::Locator& FakePrograms::locator(const QString& name) {
    if (name == QLatin1String("7zz")) return m_programs.sevenZip;
    if (name == QLatin1String("unrar")) return m_programs.unrar;
    if (name == QLatin1String("zip")) return m_programs.zip;
    if (name == QLatin1String("unzip")) return m_programs.unzip;
    if (name == QLatin1String("tar")) return m_programs.tar;
    throw std::invalid_argument("no archive program called " + name.toStdString());
}
