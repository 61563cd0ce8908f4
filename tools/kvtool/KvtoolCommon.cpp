#include "KvtoolCommon.h"

#include "qxField.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

namespace Kvtool {

namespace {

int gOutErrno = 0; // the first failure of a write to standard output

} // namespace

void Out(const QString& text)
{
    const QByteArray utf8 = text.toUtf8() + '\n';
    if (std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stdout) != size_t(utf8.size()) && gOutErrno == 0)
        gOutErrno = errno != 0 ? errno : EIO;
}

int FinishOutput(int code)
{
    errno = 0;
    if (std::fflush(stdout) != 0 && gOutErrno == 0)
        gOutErrno = errno != 0 ? errno : EIO;
    if (gOutErrno == 0 && std::ferror(stdout))
        gOutErrno = EIO;
    if (gOutErrno == 0)
        return code;
    const QString why = gOutErrno == ENOSPC || gOutErrno == EFBIG ? u"磁盘空间不足或文件过大"_s
                                                                 : QString::fromLocal8Bit(std::strerror(gOutErrno));
    Err(u"输出没有全部写入："_s + why + u"。"_s);
    return Failed;
}

void Err(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stderr);
    std::fputc('\n', stderr);
}

QString FieldText(const TqxField* f)
{
    return f->IsNull() ? QString() : f->AsString();
}

int UsageError(const QString& usage)
{
    Err(u"用法："_s + usage);
    return Usage;
}

} // namespace Kvtool
