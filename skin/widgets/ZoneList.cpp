#include "skin/widgets/ZoneList.h"

#include "skin/drawing/SkinEngineLog.h"
#include "skin/widgets/Zone.h"
#include "skin/widgets/ZoneViewLink.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace velmora {

namespace {

const QString KListClassName = QStringLiteral("TZoneList");

} // namespace

void WalkZones(const TZoneList& AZones, bool AOnlyExpanded,
               const std::function<TZoneWalk(TZone*)>& AVisit) {
    std::vector<std::pair<const TZoneList*, int>> stack{{&AZones, 0}};
    while (!stack.empty()) {
        auto& [list, index] = stack.back();
        if (index >= list->Count()) {
            stack.pop_back();
            continue;
        }
        TZone* zone = list->Items(index++);
        const TZoneWalk step = AVisit(zone);
        if (step == TZoneWalk::Stop)
            return;
        if (step == TZoneWalk::Enter && (!AOnlyExpanded || zone->Expanded()) &&
            zone->ChildZones().Count() > 0)
            stack.emplace_back(&zone->ChildZones(), 0);
    }
}

// Frees zones without recursing into their subtrees: a chain of nested zones of any depth
// would otherwise exhaust the stack. Children are taken out of a zone before it is freed.
void TZoneList::FreeZones(std::vector<std::unique_ptr<TZone>>&& AZones) {
    std::vector<std::unique_ptr<TZone>> pending = std::move(AZones);
    while (!pending.empty()) {
        std::unique_ptr<TZone> zone = std::move(pending.back());
        pending.pop_back();
        TZoneList& children = zone->ChildZones();
        while (children.Count() > 0) {
            const int last = children.Count() - 1;
            pending.push_back(children.TakeAt(last));
        }
        zone.reset();
    }
}

TZoneList::TZoneList(IZoneViewLink* AView, TZone* AOwnerZone)
    : FView(AView), FOwnerZone(AOwnerZone) {}

TSkinZoneView* TZoneList::ZoneView() const {
    return FView != nullptr ? FView->LinkedView() : nullptr;
}

TZoneList::~TZoneList() {
    FreeZones(std::move(FItems));
}

void TZoneList::StructureChanged(bool ARepaint) const {
    if (FView != nullptr)
        FView->ZonesChanged(ARepaint, true);
}

void TZoneList::LogIndexError(const char* AOperation, int Index) const {
    const std::out_of_range error("Zone index out of bounds (" + std::to_string(Index) + ")");
    LogSkinFailure(KListClassName, nullptr, &error, QString::fromLatin1(AOperation));
}

TZone* TZoneList::Items(int Index) const {
    return ValidIndex(Index) ? FItems[static_cast<size_t>(Index)].get() : nullptr;
}

TZone* TZoneList::Add() {
    return AddZone(std::make_unique<TZone>());
}

TZone* TZoneList::AddZone(std::unique_ptr<TZone> AZone) {
    if (!AZone)
        return nullptr;
    AZone->Attach(FView, FOwnerZone);
    FItems.push_back(std::move(AZone));
    StructureChanged(false);
    return FItems.back().get();
}

TZone* TZoneList::Insert(int Index) {
    if (Index < 0 || Index > Count()) {
        LogIndexError("Insert", Index);
        return nullptr;
    }
    auto zone = std::make_unique<TZone>();
    zone->Attach(FView, FOwnerZone);
    TZone* result = zone.get();
    FItems.insert(FItems.begin() + Index, std::move(zone));
    StructureChanged(true);
    return result;
}

std::unique_ptr<TZone> TZoneList::TakeAt(int Index) {
    std::unique_ptr<TZone> zone = std::move(FItems[static_cast<size_t>(Index)]);
    FItems.erase(FItems.begin() + Index);
    return zone;
}

void TZoneList::Delete(int Index) {
    if (!ValidIndex(Index)) {
        LogIndexError("Delete", Index);
        return;
    }
    std::vector<std::unique_ptr<TZone>> gone;
    gone.push_back(TakeAt(Index));
    FreeZones(std::move(gone));
    StructureChanged(true);
}

int TZoneList::Remove(TZone* AItem) {
    const int index = IndexOf(AItem);
    if (index < 0)
        return -1;
    std::vector<std::unique_ptr<TZone>> gone;
    gone.push_back(TakeAt(index));
    FreeZones(std::move(gone));
    StructureChanged(true);
    return index;
}

void TZoneList::Clear() {
    if (FItems.empty())
        return;
    FreeZones(std::move(FItems));
    FItems.clear();
    StructureChanged(true);
}

int TZoneList::IndexOf(const TZone* AItem) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == AItem)
            return static_cast<int>(i);
    return -1;
}

void TZoneList::Move(int CurIndex, int NewIndex) {
    if (!ValidIndex(CurIndex) || !ValidIndex(NewIndex)) {
        LogIndexError("Move", ValidIndex(CurIndex) ? NewIndex : CurIndex);
        return;
    }
    if (CurIndex == NewIndex)
        return;
    std::unique_ptr<TZone> zone = TakeAt(CurIndex);
    FItems.insert(FItems.begin() + NewIndex, std::move(zone));
    StructureChanged(true);
}

void TZoneList::Sort(const std::function<int(const TZone*, const TZone*)>& Compare) {
    if (!Compare)
        return;
    std::stable_sort(FItems.begin(), FItems.end(),
                     [&](const std::unique_ptr<TZone>& a, const std::unique_ptr<TZone>& b) {
                         return Compare(a.get(), b.get()) < 0;
                     });
    StructureChanged(true);
}

void TZoneList::SetItems(int Index, TZone* AItem) {
    const int from = IndexOf(AItem);
    if (!ValidIndex(Index) || from < 0) {
        const std::invalid_argument error(from < 0 ? "Zone is not in this list"
                                                   : "Zone index out of bounds");
        LogSkinFailure(KListClassName, nullptr, &error, QStringLiteral("SetItems"));
        return;
    }
    if (from == Index)
        return;
    std::swap(FItems[static_cast<size_t>(from)], FItems[static_cast<size_t>(Index)]);
    StructureChanged(false);
}

} // namespace velmora
