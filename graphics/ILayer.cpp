#include "APIBitmap.h"
#include "IGraphicsStructs.h"

namespace plugin::igraphics {

ILayer::ILayer(std::unique_ptr<APIBitmap> bitmap, const IRECT& layerRect, IControl* control, const IRECT& controlRect)
: mBitmap(std::move(bitmap)), mControl(control), mControlRECT(controlRect), mRECT(layerRect)
{
}

ILayer::~ILayer() = default;

} // namespace plugin::igraphics
