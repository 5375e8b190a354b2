#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace velmora {

class IZoneViewLink;
class TSkinZoneView;
class TZone;
class TZoneList;

// The ordered, owning list of zones at one level: the view's top level or a zone's children.
// Index errors are logged to the skin engine log and change nothing, so a caller's slip never
// takes the view down.
// What a zone walk does after visiting a zone.
enum class TZoneWalk { Enter, Skip, Stop };

// Visits AZones and their descendants in tree order (a zone before its children) without
// recursion, so any depth is safe. With AOnlyExpanded the walk enters expanded zones only;
// AVisit may also skip a zone's children or stop the walk. It must not change the tree.
void WalkZones(const TZoneList& AZones, bool AOnlyExpanded,
               const std::function<TZoneWalk(TZone*)>& AVisit);

class TZoneList {
public:
    // AView is the view the zones belong to; none for a list that is not shown.
    TZoneList(IZoneViewLink* AView, TZone* AOwnerZone);
    ~TZoneList();
    TZoneList(const TZoneList&) = delete;
    TZoneList& operator=(const TZoneList&) = delete;

    // A new zone at the end; the view is not repainted, so building a long list stays cheap.
    TZone* Add();
    // Adopts a zone made by the caller (a descendant class, say) at the end.
    TZone* AddZone(std::unique_ptr<TZone> AZone);
    // A new zone at Index (0 … Count); null when Index is out of range.
    TZone* Insert(int Index);
    void Delete(int Index);
    // The zone's former index, -1 when it is not in this list.
    int Remove(TZone* AItem);
    void Clear();
    int IndexOf(const TZone* AItem) const;
    void Move(int CurIndex, int NewIndex);
    // A stable sort by Compare (negative, zero or positive, as strcmp answers).
    void Sort(const std::function<int(const TZone*, const TZone*)>& Compare);

    int Count() const { return static_cast<int>(FItems.size()); }
    TZone* Items(int Index) const;
    // Puts AItem at Index. The zone must already be in this list: the two entries swap
    // places, so no zone is lost or owned twice.
    void SetItems(int Index, TZone* AItem);
    TZone* OwnerZone() const { return FOwnerZone; }
    TSkinZoneView* ZoneView() const;

private:
    friend class TZone;
    friend class TSkinZoneView;
    // Takes the zone at a valid Index out of the list, unowned by it.
    std::unique_ptr<TZone> TakeAt(int Index);
    // Frees zones without recursing into their subtrees, so nesting of any depth is safe.
    static void FreeZones(std::vector<std::unique_ptr<TZone>>&& AZones);
    bool ValidIndex(int Index) const { return Index >= 0 && Index < Count(); }
    void LogIndexError(const char* AOperation, int Index) const;
    // The zones are about to change: the view forgets what it knew of their places.
    void StructureChanged(bool ARepaint) const;

    std::vector<std::unique_ptr<TZone>> FItems;
    IZoneViewLink* FView;
    TZone* FOwnerZone;
};

} // namespace velmora
