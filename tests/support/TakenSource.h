// What an import's end hands the session, for tests that make the channel
// files themselves or need only a source's facts.
#pragma once

#include "session/Session.h"

template<class Set>
void TakeSource(Session &session, Set set)
{
    Session::Source source = session.OpenSource();
    set(source);
    session.TakeSource(source);
}
