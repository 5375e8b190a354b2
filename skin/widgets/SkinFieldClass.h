#pragma once

#include "skin/data/SkinControlClasses.h"
#include "skin/drawing/SkinEngineLog.h"

#include <QString>
#include <QWidget>
#include <algorithm>
#include <exception>
#include <vector>

namespace velmora {

// The name a member of a skinned class is logged under; a class without widget names gives
// its own overload.
inline QString SkinMemberName(const QWidget& AWidget) {
    return AWidget.objectName();
}

// The live members of one skinned class (the fields, the zone view styles), registered with
// the skin manager under the class's order key so a skin change reaches every one of them.
template <typename TField> class TSkinFieldClass {
public:
    static void Add(TField* AField) {
        static const bool registered = [] {
            RegisterSkinControlClass(TField::KClassOrder, [] { AllMembersChangeSkinFile(); });
            return true;
        }();
        (void)registered;
        List().push_back(AField);
    }
    static void Remove(TField* AField) {
        auto& list = List();
        list.erase(std::remove(list.begin(), list.end(), AField), list.end());
    }
    static const std::vector<TField*>& Members() { return List(); }
    static void AllMembersChangeSkinFile() {
        // A copy: a field may be destroyed by what another one does while it is told.
        const std::vector<TField*> snapshot = List();
        for (TField* field : snapshot) {
            if (std::find(List().begin(), List().end(), field) == List().end())
                continue;
            try {
                field->ChangeSkinFile();
            } catch (const std::exception& error) {
                const QString name = SkinMemberName(*field);
                LogSkinFailure(field->ClassName(), &name, &error,
                               QStringLiteral("AllMembersChangeSkinFile"));
            }
        }
    }

private:
    static std::vector<TField*>& List() {
        static std::vector<TField*> list;
        return list;
    }
};

} // namespace velmora
