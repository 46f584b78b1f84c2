#include "core/base/apperror.h"

QString AppError::report() const
{
    if (m_number == Plain)
        return m_description;
    return QStringLiteral("运行时错误 '%1':\n\n%2").arg(m_number).arg(m_description);
}
