// The page view: what the page pane shows for the node selected in the
// result tree. In "My Web Sites" mode the page is fetched and matched again
// with the current search texts; in "Web Engines" mode the engine's own text
// about the hit is taken from the hit store and cleaned into a title and a
// description.
#pragma once

#include <string>
#include <string_view>

#include "app/controls.h"
#include "results/result_tools.h"
#include "search/engines/hit_store.h"

namespace quexa {

// outlineFile_NodeClick. A node with children (index, site or engine node)
// only shows "Ready to search!"; every node without children counts as a
// page, so an index node of a search that listed nothing is fetched as its
// own lower-cased key. Failures end the view quietly or after the
// "Operation Error" dialog, and always leave the window idle.
void outlineFile_NodeClick(ResultTools& tools, const MainControls& controls,
                           std::string_view nodeKey, bool hasChildren);

// The hit detail view of a hit node: the stored text of its URL after the
// rules of the engine named in the key. A URL the store does not hold (a
// node left from an earlier engine search) gives an empty detail.
std::string hitDetailDocument(const EngineHitStore& store, std::string_view nodeKey);

}  // namespace quexa
