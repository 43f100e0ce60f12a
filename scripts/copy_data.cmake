# Copies one data folder (SOURCE) into DESTINATION, leaving out what the
# installed tree leaves out: the page generators and the placeholders.
# Only files newer than their copy are copied again.
file(COPY ${SOURCE} DESTINATION ${DESTINATION} PATTERN "*.py" EXCLUDE PATTERN ".keep" EXCLUDE)
