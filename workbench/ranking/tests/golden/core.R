Flag	Taxa / Probe	Y1	Y2	Y3	Y4	Y5
	Rare	0	1	1	4	0
	Common	1	1	3	4	0
