#pragma once

// Seconds since the user's last keyboard or pointer input; 0 when it cannot be read.
class IdleSource {
public:
    virtual ~IdleSource() = default;
    virtual double idleSeconds() = 0;
};
