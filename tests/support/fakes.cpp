#include "fakes.h"

void FakePlayer::setMovie(const QString &m)
{
    calls.append(QStringLiteral("Movie %1").arg(m));
    loaded = m;
    frame = m == EmptyMovie ? 0 : 1;
    running = m != EmptyMovie;
}
