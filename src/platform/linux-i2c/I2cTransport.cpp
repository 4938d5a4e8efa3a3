#include "I2cTransport.h"

I2cTransport::~I2cTransport() = default;
