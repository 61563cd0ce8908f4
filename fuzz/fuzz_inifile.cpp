// The INI reader on arbitrary bytes: reading and rewriting never crash, and a
// value written is read back from the rewritten text.

#include "qxIniFile.h"

#include <cstdlib>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TqxIniFile ini(QString{});
    ini.SetBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    QStringList sections;
    for (const QString& line : ini.Lines())
        if (line.trimmed().startsWith(u'['))
            sections.append(line.trimmed().mid(1).section(u']', 0, 0).trimmed());
    for (const QString& s : std::as_const(sections)) {
        const TNameValueList values = ini.ReadSectionValues(s);
        for (qsizetype i = 0; i < values.Count(); ++i)
            ini.ReadString(s, values.Name(i));
    }
    ini.WriteString(u"Paths"_s, u"App"_s, u"/opt/kavelin/"_s);
    ini.DeleteKey(u"Files"_s, u"配置_数据库"_s);
    TqxIniFile again(QString{});
    again.SetBytes(ini.ToBytes());
    if (again.ReadString(u"paths"_s, u"app"_s) != u"/opt/kavelin/"_s)
        std::abort();
    return 0;
}
