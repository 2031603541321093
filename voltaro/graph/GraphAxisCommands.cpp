#include "voltaro/graph/GraphAxisCommands.h"

#include "voltaro/model/CMainDoc.h"
#include "voltaro/model/ViewHints.h"

#include <algorithm>

namespace voltaro {
namespace {

bool isShowAxisCommand(unsigned nID) {
    return nID >= ID_SHOW_AXIS_U && nID <= ID_SHOW_AXIS_R;
}

}  // namespace

void OnShowAxis(CMainDoc& doc, int i) {
    auto& axes = doc.m_graphSettings.m_axes;
    GraphAxis& axis = axes.at(static_cast<std::size_t>(i));
    axis.shown = axis.shown ? 0 : 1;
    // An empty graph cannot be undone from the menu any more: keep this one.
    if (std::none_of(axes.begin(), axes.end(), [](const GraphAxis& a) { return a.shown != 0; }))
        axis.shown = 1;
    doc.UpdateAllViews(nullptr, HINT_AXES);
}

bool OnShowAxisCommand(CMainDoc& doc, unsigned nID) {
    if (!isShowAxisCommand(nID))
        return false;
    OnShowAxis(doc, static_cast<int>(nID - ID_SHOW_AXIS_U));
    return true;
}

bool OnUpdateShowAxisCommand(const GraphSettings& settings, unsigned nID, CommandState& state) {
    if (!isShowAxisCommand(nID))
        return false;
    const auto& axes = settings.m_axes;
    const GraphAxis& axis = axes[nID - ID_SHOW_AXIS_U];
    state.bChecked = axis.shown != 0;
    state.bEnabled = true;
    if (axis.right) {
        const bool referenceShown = axis.reference >= 0 &&
                                    axis.reference < GraphSettings::kAxisCount &&
                                    axes[static_cast<std::size_t>(axis.reference)].shown;
        state.bEnabled = referenceShown;
    }
    return true;
}

}  // namespace voltaro
