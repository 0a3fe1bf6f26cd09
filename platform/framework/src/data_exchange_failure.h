// Thrown by CDataExchange::Fail to abandon an exchange; UpdateData catches it.
// It never leaves the framework.
#pragma once

struct DataExchangeFailure {
    int controlId;
};
