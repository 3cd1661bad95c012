#pragma once
#include "jobs/Generations.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace jobs {

// An older backup put in place for one restore, so that the restore script
// sends it with its lines unchanged. The newest backup's items move whole into
// the holding folder Generations/.newest-aside (one rename each), then the
// generation's trees are made in place as a new tree of hard links to its
// files (nothing is copied, nothing written into a linked file). Putting the
// newest back removes only what is provably that linked copy (every file the
// generation's own, every folder one the generation has) and renames the
// newest's items back. The holding folder records which generation is in
// place ("placed.txt") and, once every item is aside, that links may lie in
// place ("linking.txt"): a stop at any point is settled by putBack().
class PlacedGeneration {
public:
    static const QString kAsideFolder; // "Generations/.newest-aside"
    // Where what lay in place and was not the linked copy is moved, never deleted.
    static const QString kFoundFolder; // "FoundDuringRestore"

    // The generation lying in place now; none while the newest backup does.
    static std::optional<Generations::Generation> current();
    // Whether the newest backup lies in the holding folder.
    static bool newestIsAside();

    // Puts the generation (its folder in Generations) in place. False, with
    // the reason, when it could not: the newest backup is then in place again.
    static bool place(const QString &folder, QString *why);

    // Puts the newest backup back in place; nothing to do when it is there.
    // The lines tell the user what was done or could not be; false when the
    // newest backup is still in the holding folder.
    static bool putBack(QStringList *lines);

    // "2026-12-10 14:05", in this computer's time.
    static QString madeText(qint64 made);
};

} // namespace jobs
