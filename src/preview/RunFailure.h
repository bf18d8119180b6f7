// The judgement of a tool run moved below the windows, to the jobs.
#pragma once

#include "jobs/RunFailure.h"
