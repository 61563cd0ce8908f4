// The report engine on an arbitrary template with the sample project's data:
// the template is read or refused with the system's error, and what is read
// lays out pages and prints the first one without crashing.

#include "kvProject.h"
#include "kvReport.h"
#include "kvReportProject.h"
#include "kvReportTemplate.h"
#include "qxErrors.h"

#include <QGuiApplication>
#include <QImage>
#include <cstdlib>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

TkvReportData* sampleData = nullptr;

} // namespace

// fontconfig keeps the fonts it loads on first use for the life of the
// process; that is its cache, not a leak of the engine's.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    static kvProject project;
    if (!project.ReadFromFile(QStringLiteral(KV_SAMPLE_PROJECT)))
        std::abort();
    static TkvReportData data = ProjectReport::Data(project);
    data.Variant = [](const QString& name) {
        return name == u"单位名称"_s ? QVariant(u"装饰公司"_s) : QVariant();
    };
    // Pictures are never found: a template may name any file.
    data.ExpandPath = [](const QString&) { return QString(); };
    sampleData = &data;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const TkvPreparedReport report = TkvPreparedReport::Prepare(TkvReportTemplate::Parse(text, u"fuzz"_s), *sampleData);
        report.Text();
        if (report.PageCount() > 0)
            report.PageImage(0, 10);
    } catch (const Exception&) {
    }
    return 0;
}
