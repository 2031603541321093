#include "voltaro/model/ItemDocument.h"

namespace voltaro {

DocumentView::~DocumentView() = default;
ItemDocument::~ItemDocument() = default;

}  // namespace voltaro
