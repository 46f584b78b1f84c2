#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

// What the player page and the program agree on. Every name and limit both
// sides use is defined here and handed to the page's script as the object
// `QV` (see constantsScript), so the script spells none of them itself.
// Messages go one JSON object each way: the program calls the page's `qv`
// functions with one object, the page writes one object a console line after
// EventPrefix.
namespace PageContract {

// The program's own URL scheme and its one host.
inline constexpr char Scheme[] = "qvplayer";
inline constexpr char Host[] = "app";
// "<scheme>://<host>", where the page, the runtime and the movie come from.
QString origin();
// Console lines starting with this are the page's events.
QString eventPrefix();
// Where the movie of a load is served: <origin>/<MovieFolder>/<generation>/<MovieFile>,
// and files beside it in the same folder.
inline constexpr char MovieFolder[] = "movie";
inline constexpr char MovieFile[] = "movie.swf";
QString movieUrl(int generation);
// Where a polling movie asks for its commands.
QByteArray controlUrl(int generation);

// The constants, as the page receives them.
QJsonObject constants();
// A script defining them as `QV`; served ahead of the page's own script.
QByteArray constantsScript();

} // namespace PageContract
