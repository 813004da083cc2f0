#include "io/counted.h"

std::string Counted(std::size_t count, const std::string& one, const std::string& many)
{
    return std::to_string(count) + ' ' + (count == 1 ? one : many.empty() ? one + 's' : many);
}
