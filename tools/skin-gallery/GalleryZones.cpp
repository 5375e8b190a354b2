#include "tools/skin-gallery/GalleryZones.h"

#include "skin/widgets/SkinZoneView.h"
#include "skin/widgets/Zone.h"
#include "tools/skin-gallery/GalleryControls.h"
#include "tools/skin-gallery/GalleryZoneStyle.h"

namespace velmora::gallery {

namespace {

// The style lives as long as the view it draws.
class TZoneGalleryView : public TSkinZoneView {
public:
    explicit TZoneGalleryView(QWidget* parent) : TSkinZoneView(parent) { FStyle.SetZoneView(this); }
    ~TZoneGalleryView() override { FStyle.SetZoneView(nullptr); }

private:
    TGalleryZoneStyle FStyle;
};

} // namespace

void FillZoneTree(TZoneList& AZones, int AGroups, int ASections, int AItems) {
    for (int g = 0; g < AGroups; ++g) {
        TZone* group = AZones.Add();
        group->SetZoneName(QStringLiteral("分组 %1").arg(g + 1));
        group->SetHeight(34);
        for (int s = 0; s < ASections; ++s) {
            TZone* section = group->ChildZones().Add();
            section->SetZoneName(QStringLiteral("分组 %1 · 栏目 %2").arg(g + 1).arg(s + 1));
            section->SetHeight(30);
            for (int i = 0; i < AItems; ++i) {
                TZone* item = section->ChildZones().Add();
                item->SetZoneName(QStringLiteral("条目 %1-%2-%3").arg(g + 1).arg(s + 1).arg(i + 1));
                item->SetHeight(28);
            }
        }
    }
}

std::unique_ptr<TDefaultSkinForm> MakeZonesForm() {
    auto form = std::make_unique<TDefaultSkinForm>();
    form->setObjectName(QStringLiteral("frmZones"));
    form->setWindowTitle(QStringLiteral("Velmora 3.0 区域列表"));
    form->SetCaptionColor(0xFFFFFFFF);
    form->resize(562, 420);

    auto* view = new TZoneGalleryView(form.get());
    view->setObjectName(QStringLiteral("zvGallery"));
    view->setGeometry(20, 44, 522, 324);
    view->SetItemSpace(2);
    view->ClientMargins().SetMargins(4, 4, 4, 4);
    // 100 groups of 9 sections of 10 entries: 10,000 zones.
    view->BeginUpdate();
    FillZoneTree(view->Zones(), 100, 9, 10);
    TZone* first = view->Zones().Items(0);
    first->SetExpanded(true);
    first->ChildZones().Items(0)->SetExpanded(true);
    first->ChildZones().Items(0)->ChildZones().Items(2)->SetSelected(true);
    view->EndUpdate();

    auto* note = new TGalleryLabel(
        QStringLiteral("共 %1 个区域，三层；单击分组展开或收起，滚轮或拖动滚动条浏览。")
            .arg(view->GetTotalZoneCount(false)),
        form.get());
    note->setGeometry(20, 378, 522, 24);
    return form;
}

} // namespace velmora::gallery
