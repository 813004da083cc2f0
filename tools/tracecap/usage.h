#pragma once

extern const char kTracecapUsage[];
