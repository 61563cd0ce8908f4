#include "KvtoolCommon.h"

#include "qxField.h"
#include "qxNumbers.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace Kvtool {

void Out(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stdout);
    std::fputc('\n', stdout);
}

void Err(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    std::fwrite(utf8.constData(), 1, size_t(utf8.size()), stderr);
    std::fputc('\n', stderr);
}

QString FieldText(const TqxField* f)
{
    if (f->IsNull())
        return QString();
    switch (f->Kind()) {
    case TqxFieldKind::Float:
    case TqxFieldKind::Money:
        return FloatToShortest(f->AsFloat());
    default:
        return f->AsString();
    }
}

int UsageError(const QString& usage)
{
    Err(u"用法："_s + usage);
    return Usage;
}

} // namespace Kvtool
