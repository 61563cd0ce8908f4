// kvtool kvfile list FILE: the header lines of a project, template or backup.

#include "KavelinFiles.h"
#include "KvtoolCommon.h"
#include "qxErrors.h"

using namespace Qt::StringLiterals;

namespace Kvtool {

int RunKvfile(const QStringList& args)
{
    const QString usage = u"kvtool kvfile list FILE"_s;
    if (args.size() != 2 || args.at(0) != u"list"_s)
        return UsageError(usage);
    const QString& fileName = args.at(1);
    TKVFile file;
    bool empty = false;
    file.OnError = [&](TKVFile*, TKVErr err) { empty = empty || err == feUnknownFormat; };
    try {
        if (!file.LoadFromFile(fileName) || empty) {
            Err(u"文件 "_s + fileName + u" 是空文件，不是工程、模板或备份文件。"_s);
            return Failed;
        }
    } catch (const Exception& e) {
        Err(e.Message);
        return Failed;
    }
    for (const QString& line : file.HeaderLines())
        Out(line);
    return Ok;
}

} // namespace Kvtool
