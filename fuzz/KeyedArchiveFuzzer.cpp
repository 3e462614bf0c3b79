// libFuzzer target: any bytes through the keyed-archive decoder; a colour it
// decodes archives again and decodes to an equal colour.

#include <cstdlib>

#include <foundation/NSKeyedArchiver.h>
#include <uikit/UIColor.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    RefPtr<NSObject> object = NSKeyedUnarchiver::unarchiveObjectWithData({ data, size });
    auto* color = objc_dynamicCast<UIColor>(object.get());
    if (!color)
        return 0;
    auto again = NSKeyedUnarchiver::unarchiveObjectWithData(NSKeyedArchiver::archivedDataWithRootObject(color));
    if (!again || !again->isEqual(color))
        std::abort();
    return 0;
}
