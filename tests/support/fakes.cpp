#include "fakes.h"

void FakePlayer::SetMovie(const QString &m)
{
    calls.append(QStringLiteral("Movie %1").arg(m));
    movie = m;
    frameNum = m == EmptyMovie ? 0 : 1;
    playing = m != EmptyMovie;
}
