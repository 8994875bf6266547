// The stand-in's live objects, in one list: the count that tests check, the objects a reset
// deletes and those that the loss hooks reach.
#include "platform/com_object.h"

#include <algorithm>

#include "platform/instrumentation.h"

namespace {

std::vector<LiveObject*> live;

} // namespace

LiveObject::LiveObject()
{
    live.push_back(this);
}

LiveObject::~LiveObject()
{
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

const std::vector<LiveObject*>& liveObjects()
{
    return live;
}

void deleteLiveObjects()
{
    // Newest first, so that each deletion finds its object at the end of the list.
    while (!live.empty())
        delete live.back();
}

int liveObjectCount()
{
    return (int)live.size();
}
