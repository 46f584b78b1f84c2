// Adds and removes favourites for ever, until it is killed, going on from the
// list it finds. The list always holds consecutive names "n<k>", oldest
// first, one to six of them: never none once it has begun.
//
//   favourites_victim <favourites file>
#include "core/catalogue/listfile.h"
#include "core/lists/favourites.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QString file = QString::fromLocal8Bit(argv[1]);
    QStringList names = ListFile(file).read().valueOr({});
    // A list left at six by a kill between adding and trimming is trimmed
    // first, so that adding never makes it seven.
    if (names.size() > 5) {
        names = names.mid(names.size() - 5);
        (void)ListFile(file).rewrite(names);
    }
    for (int k = names.isEmpty() ? 0 : names.last().mid(1).toInt() + 1;; ++k) {
        names.append(QStringLiteral("n%1").arg(k));
        (void)ListFile(file).append(names.last());
        if (names.size() > 5) {
            names = names.mid(names.size() - 5);
            (void)ListFile(file).rewrite(names);
        }
    }
}
