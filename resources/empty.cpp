// Resource libraries carry only compiled-in data.
